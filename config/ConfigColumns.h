#pragma once

// The column maps of the configuration tables: which field of a record each stored position holds.
// They are the stored format; column 0 (ID) is the table's own.
namespace vq {

class CCfgLogGroup;
class CCfgLogGroupLevel;
class RowReader;
class RowWriter;

void ReadColumns(const RowReader& row, CCfgLogGroup& group);
void WriteColumns(RowWriter& row, const CCfgLogGroup& group);
void ReadColumns(const RowReader& row, CCfgLogGroupLevel& level);
void WriteColumns(RowWriter& row, const CCfgLogGroupLevel& level);

} // namespace vq

#pragma once

// The column maps of the configuration tables: which field of a record each stored position holds.
// They are the stored format; column 0 (ID) is the table's own.
namespace vq {

class CCfgClass;
class CCfgDevice;
class CCfgEvent;
class CCfgLogGroup;
class CCfgLogGroupLevel;
class CCfgNet;
class CCfgOstrelix;
class CCfgReport;
class RowReader;
class RowWriter;

// The root's getter of the monitor-totals reset settles an invalid value, hence no const.
void ReadColumns(const RowReader& row, CCfgOstrelix& root);
void WriteColumns(RowWriter& row, CCfgOstrelix& root);
// The report number (column 0) is read, never written.
void ReadColumns(const RowReader& row, CCfgReport& report);
void WriteColumns(RowWriter& row, CCfgReport& report);
void ReadColumns(const RowReader& row, CCfgDevice& device);
void WriteColumns(RowWriter& row, const CCfgDevice& device);
void ReadColumns(const RowReader& row, CCfgClass& cfgClass);
void WriteColumns(RowWriter& row, const CCfgClass& cfgClass);
void ReadColumns(const RowReader& row, CCfgNet& network);
void WriteColumns(RowWriter& row, const CCfgNet& network);
// Columns 2-30 of the three event tables; column 1, the owner, differs by kind.
void ReadEventColumns(const RowReader& row, CCfgEvent& event);
void WriteEventColumns(RowWriter& row, const CCfgEvent& event);

void ReadColumns(const RowReader& row, CCfgLogGroup& group);
void WriteColumns(RowWriter& row, const CCfgLogGroup& group);
void ReadColumns(const RowReader& row, CCfgLogGroupLevel& level);
void WriteColumns(RowWriter& row, const CCfgLogGroupLevel& level);

} // namespace vq

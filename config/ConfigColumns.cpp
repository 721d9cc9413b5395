#include "config/ConfigColumns.h"

#include "config/CCfgLogGroup.h"
#include "config/CCfgLogGroupLevel.h"
#include "config/ConfigRow.h"

namespace vq {

void ReadColumns(const RowReader& row, CCfgLogGroup& group) {
    group.SetName(row.Text(1));
    group.SetDescription(row.Text(2));
}

void WriteColumns(RowWriter& row, const CCfgLogGroup& group) {
    row.Text(1, group.GetName());
    row.Text(2, group.GetDescription());
}

void ReadColumns(const RowReader& row, CCfgLogGroupLevel& level) {
    level.SetGroupName(row.Text(1));
    level.SetName(row.Text(2));
    level.SetDescription(row.Text(3));
    level.SetReportEmail(row.Flag(4));
    level.SetEmailAddress(row.Text(5));
    level.SetEmailText(row.Text(6));
    level.SetReportDialog(row.Flag(7));
    level.SetDialogMessage(row.Text(8));
    level.SetDialogType(row.Int(9));
    level.SetReportMultimedia(row.Flag(10));
    level.SetClip(row.Text(11));
    level.SetReportProgram(row.Flag(12));
    level.SetProgram(row.Text(13));
    level.SetProgramParameters(row.Text(14));
    level.SetAckRequired(row.Flag(15));
    level.SetAutoAckMinutes(row.Int(16));
    level.SetInertFlagA(row.Flag(17));
    level.SetInertMinutes(row.Int(18));
    level.SetInertFlagB(row.Flag(19));
    level.SetResetMinutes(row.Int(20));
}

void WriteColumns(RowWriter& row, const CCfgLogGroupLevel& level) {
    row.Text(1, level.GetGroupName());
    row.Text(2, level.GetName());
    row.Text(3, level.GetDescription());
    row.Flag(4, level.GetReportEmail());
    row.Text(5, level.GetEmailAddress());
    row.Text(6, level.GetEmailText());
    row.Flag(7, level.GetReportDialog());
    row.Text(8, level.GetDialogMessage());
    row.Int(9, level.GetDialogType());
    row.Flag(10, level.GetReportMultimedia());
    row.Text(11, level.GetClip());
    row.Flag(12, level.GetReportProgram());
    row.Text(13, level.GetProgram());
    row.Text(14, level.GetProgramParameters());
    row.Flag(15, level.GetAckRequired());
    row.Int(16, level.GetAutoAckMinutes());
    row.Flag(17, level.GetInertFlagA());
    row.Int(18, level.GetInertMinutes());
    row.Flag(19, level.GetInertFlagB());
    row.Int(20, level.GetResetMinutes());
}

} // namespace vq

#include "config/ConfigColumns.h"

#include "config/CCfgClass.h"
#include "config/CCfgDevice.h"
#include "config/CCfgEvent.h"
#include "config/CCfgLogGroup.h"
#include "config/CCfgLogGroupLevel.h"
#include "config/CCfgNet.h"
#include "config/CCfgOstrelix.h"
#include "config/CCfgReport.h"
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

void ReadColumns(const RowReader& row, CCfgOstrelix& root) {
    root.SetDbVersion(row.Text(1));
    root.SetPasswordProtect(row.Flag(2));
    root.SetPassword(row.Text(3));
    root.SetCreateLocalDevices(row.Flag(4));
    root.SetDisableDataMonitor(row.Flag(5));
    root.SetMonitorResetTime(row.Date(6));
    root.SetAssignNewDevices(row.Flag(7));
    root.SetNewDeviceClass(row.Text(8));
    root.SetReportNewAddresses(row.Flag(9));
    root.SetUseDefaultLevel(row.Flag(10));
    root.SetEventClearMinutes(row.Int(11));
    root.SetKeepEventStatus(row.Flag(12));
    root.SetEventEntries(row.Int(13));
    root.SetDisableEventMonitor(row.Flag(14));
    root.SetDefaultLogGroup(row.Text(15));
    root.SetDefaultLogLevel(row.Text(16));
    root.SetDisableActiveTest(row.Flag(17));
    root.SetMessagingUser(row.Text(18));
    root.SetMessagingPassword(row.Text(19));
    root.SetUseDefaultLogon(row.Flag(20));
    root.SetCsvLogging(row.Flag(21));
    root.SetCsvFrequency(row.Int(22));
    root.SetSpareFlagA(row.Flag(23));
    root.SetSpareFlagB(row.Flag(24));
    root.SetSpareFlagC(row.Flag(25));
    root.SetCaptureEnabled(row.Flag(26));
    root.SetCaptureFormat(row.Int(27));
    root.SetCaptureFixedLength(row.Flag(28));
    root.SetCaptureFileSize(row.Int(29));
    root.SetCapturePacketSize(row.Int(30));
}

void WriteColumns(RowWriter& row, CCfgOstrelix& root) {
    row.Text(1, root.GetDbVersion());
    row.Flag(2, root.GetPasswordProtect());
    row.Text(3, root.GetPassword());
    row.Flag(4, root.GetCreateLocalDevices());
    row.Flag(5, root.GetDisableDataMonitor());
    row.Date(6, root.GetMonitorResetTime());
    row.Flag(7, root.GetAssignNewDevices());
    row.Text(8, root.GetNewDeviceClass());
    row.Flag(9, root.GetReportNewAddresses());
    row.Flag(10, root.GetUseDefaultLevel());
    row.Int(11, root.GetEventClearMinutes());
    row.Flag(12, root.GetKeepEventStatus());
    row.Int(13, root.GetEventEntries());
    row.Flag(14, root.GetDisableEventMonitor());
    row.Text(15, root.GetDefaultLogGroup());
    row.Text(16, root.GetDefaultLogLevel());
    row.Flag(17, root.GetDisableActiveTest());
    row.Text(18, root.GetMessagingUser());
    row.Text(19, root.GetMessagingPassword());
    row.Flag(20, root.GetUseDefaultLogon());
    row.Flag(21, root.GetCsvLogging());
    row.Int(22, root.GetCsvFrequency());
    row.Flag(23, root.GetSpareFlagA());
    row.Flag(24, root.GetSpareFlagB());
    row.Flag(25, root.GetSpareFlagC());
    row.Flag(26, root.GetCaptureEnabled());
    row.Int(27, root.GetCaptureFormat());
    row.Flag(28, root.GetCaptureFixedLength());
    row.Int(29, root.GetCaptureFileSize());
    row.Int(30, root.GetCapturePacketSize());
}

void ReadColumns(const RowReader& row, CCfgReport& report) {
    report.SetId(row.Int(0));
    report.SetName(row.Text(1));
    report.SetDay(row.Int(2));
    report.SetTime(row.Date(3));
    report.SetFrequencyUnit(row.Int(4));
    report.SetFrequency(row.Int(5));
    report.SetPrint(row.Int(6));
    report.SetPrintToFile(row.Int(7));
    report.SetSendEmail(row.Int(8));
    report.SetEmailAddress(row.Text(9));
    report.SetContent(row.Int(10));
}

void WriteColumns(RowWriter& row, CCfgReport& report) {
    row.Text(1, report.GetName());
    row.Int(2, report.GetDay());
    row.Date(3, report.GetTime());
    row.Int(4, report.GetFrequencyUnit());
    row.Int(5, report.GetFrequency());
    row.Int(6, report.GetPrint());
    row.Int(7, report.GetPrintToFile());
    row.Int(8, report.GetSendEmail());
    row.Text(9, report.GetEmailAddress());
    row.Int(10, report.GetContent());
}

void ReadColumns(const RowReader& row, CCfgDevice& device) {
    device.SetName(row.Text(1));
    device.SetDescription(row.Text(2));
    device.SetClassName(row.Text(3));
    device.SetSpareFlag(row.Flag(4));
    device.SetDialUp(row.Flag(5));
    device.SetAddressType(row.Int(6));
    device.SetAddress(row.Text(7));
    device.SetBitmap(row.Text(8));
    device.SetPerformTest(row.Flag(9));
    device.SetTestTime(row.Date(10));
    for (int word = 0; word < 4; ++word)
        device.SetReportWord(word, row.Word(11 + word));
    device.SetCsvLogging(row.Flag(15));
    device.SetMaxBandwidth(row.Int64(16));
    device.SetIpConversations(row.Flag(17));
}

void WriteColumns(RowWriter& row, const CCfgDevice& device) {
    row.Text(1, device.GetName());
    row.Text(2, device.GetDescription());
    row.Text(3, device.GetClassName());
    row.Flag(4, device.GetSpareFlag());
    row.Flag(5, device.GetDialUp());
    row.Int(6, device.GetAddressType());
    row.Text(7, device.GetAddress());
    row.Text(8, device.GetBitmap());
    row.Flag(9, device.GetPerformTest());
    row.Date(10, device.GetTestTime());
    for (int word = 0; word < 4; ++word)
        row.Word(11 + word, device.GetReportWord(word));
    row.Flag(15, device.GetCsvLogging());
    row.Int64(16, device.GetMaxBandwidth());
    row.Flag(17, device.GetIpConversations());
}

void ReadColumns(const RowReader& row, CCfgClass& cfgClass) {
    cfgClass.SetName(row.Text(1));
    cfgClass.SetDescription(row.Text(2));
    cfgClass.SetBitmap(row.Text(3));
    cfgClass.SetPerformTest(row.Flag(4));
    cfgClass.SetTestTime(row.Date(5));
}

void WriteColumns(RowWriter& row, const CCfgClass& cfgClass) {
    row.Text(1, cfgClass.GetName());
    row.Text(2, cfgClass.GetDescription());
    row.Text(3, cfgClass.GetBitmap());
    row.Flag(4, cfgClass.GetPerformTest());
    row.Date(5, cfgClass.GetTestTime());
}

void ReadColumns(const RowReader& row, CCfgNet& network) {
    network.SetName(row.Text(1));
    network.SetDescription(row.Text(2));
    network.SetAdapterAddress(row.Text(3));
    network.SetSpareFlag(row.Flag(4));
    network.SetSpareTime(row.Date(5));
    network.SetAssignClass(row.Flag(6));
    network.SetDiscoveryClass(row.Text(7));
    for (int word = 0; word < 4; ++word)
        network.SetReportWord(word, row.Word(8 + word));
    network.SetCsvLogging(row.Flag(12));
    network.SetCaptureEnabled(row.Flag(13));
}

void WriteColumns(RowWriter& row, const CCfgNet& network) {
    row.Text(1, network.GetName());
    row.Text(2, network.GetDescription());
    row.Text(3, network.GetAdapterAddress());
    row.Flag(4, network.GetSpareFlag());
    row.Date(5, network.GetSpareTime());
    row.Flag(6, network.GetAssignClass());
    row.Text(7, network.GetDiscoveryClass());
    for (int word = 0; word < 4; ++word)
        row.Word(8 + word, network.GetReportWord(word));
    row.Flag(12, network.GetCsvLogging());
    row.Flag(13, network.GetCaptureEnabled());
}

void ReadEventColumns(const RowReader& row, CCfgEvent& event) {
    event.SetType(row.Int(2));
    event.SetPrimaryGroup(row.Text(3));
    event.SetPrimaryLevel(row.Text(4));
    event.SetSecondaryGroup(row.Text(5));
    event.SetSecondaryLevel(row.Text(6));
    event.SetSampleTime(row.Date(7));
    event.SetMeasure(row.Int(8));
    event.SetFrequency(row.Date(9));
    event.SetThreshold(row.Int(10));
    event.SetLimit(row.Int(11));
    event.SetFilterOption(row.Int(12));
    event.SetDirection(row.Int(13));
    event.SetSeverity(row.Int(14));
    event.SetSpareValueA(row.Int(15));
    event.SetCompareFrom(row.Date(16));
    event.SetCompareTo(row.Int(17));
    event.SetSpareValueB(row.Int(18));
    event.SetBaselineMode(row.Int(19));
    event.SetBaselineTime(row.Date(20));
    event.SetMessage(row.Text(21));
    event.SetResetWhenNormal(row.Flag(22));
    for (int word = 0; word < 8; ++word)
        event.SetFilterWord(word, row.Word(23 + word));
}

void WriteEventColumns(RowWriter& row, const CCfgEvent& event) {
    row.Int(2, event.GetType());
    row.Text(3, event.GetPrimaryGroup());
    row.Text(4, event.GetPrimaryLevel());
    row.Text(5, event.GetSecondaryGroup());
    row.Text(6, event.GetSecondaryLevel());
    row.Date(7, event.GetSampleTime());
    row.Int(8, event.GetMeasure());
    row.Date(9, event.GetFrequency());
    row.Int(10, event.GetThreshold());
    row.Int(11, event.GetLimit());
    row.Int(12, event.GetFilterOption());
    row.Int(13, event.GetDirection());
    row.Int(14, event.GetSeverity());
    row.Int(15, event.GetSpareValueA());
    row.Date(16, event.GetCompareFrom());
    row.Int(17, event.GetCompareTo());
    row.Int(18, event.GetSpareValueB());
    row.Int(19, event.GetBaselineMode());
    row.Date(20, event.GetBaselineTime());
    row.Text(21, event.GetMessage());
    row.Flag(22, event.GetResetWhenNormal());
    for (int word = 0; word < 8; ++word)
        row.Word(23 + word, event.GetFilterWord(word));
}

} // namespace vq

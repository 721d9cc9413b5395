#include "platform/core/Archive.h"

#include "CfgTestText.h"
#include "config/CCfgClass.h"
#include "config/CCfgClassEvent.h"
#include "config/CCfgDevice.h"
#include "config/CCfgDeviceEvent.h"
#include "config/CCfgNet.h"
#include "config/CCfgNetworkEvent.h"
#include "config/CCfgOstrelix.h"
#include "platform/core/Exceptions.h"
#include "tests/support/TestPaths.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>

namespace vq {
namespace {

using Bytes = std::vector<u8>;
using test::FieldRow;
using test::Text;

// Each form is built here value by value in its documented order, independently of the records'
// own writers, so a swapped pair in a writer or a reader shows.
Bytes Form(const std::function<void(ArchiveWriter&)>& write) {
    ArchiveWriter writer;
    write(writer);
    return writer.Data();
}

void Date(ArchiveWriter& w, const OleDateTime& value) {
    w.WriteDateTime({static_cast<ArchiveDateTime::Status>(value.GetStatus()), value.Value()});
}

template <typename Record> Bytes Written(const Record& record) {
    ArchiveWriter writer;
    record.Serialize(writer);
    return writer.Data();
}

template <typename Record> void Read(Record& record, const Bytes& bytes) {
    ArchiveReader reader(bytes);
    record.Serialize(reader);
    EXPECT_TRUE(reader.AtEnd()) << reader.Remaining() << " bytes left";
}

void ExpectRows(const std::vector<FieldRow>& rows) {
    for (const auto& row : rows)
        EXPECT_EQ(row.actual, row.expected) << row.field;
}

// Every shorter stream ends inside the form: the reader raises the end-of-file error and the
// record keeps what it held.
template <typename Record> void ExpectCutShortRefused(const Bytes& bytes) {
    Record record;
    const Bytes before = Written(record);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        const Bytes cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
        ArchiveReader reader(cut);
        try {
            record.Serialize(reader);
            ADD_FAILURE() << "no error at " << size << " of " << bytes.size() << " bytes";
        } catch (const ArchiveException& e) {
            ASSERT_EQ(e.GetCause(), ArchiveException::Cause::EndOfFile) << size;
        }
        ASSERT_EQ(Written(record), before) << "record changed by a stream of " << size << " bytes";
    }
}

const std::string kLong(300, 'L');
const OleDateTime kHalfHour(1899, 1, 1, 0, 30, 0);
const OleDateTime kWeekly(1901, 1, 9, 14, 30, 0);

OleDateTime InvalidDate() {
    OleDateTime value(-400.5);
    value.SetStatus(OleDateTime::invalid);
    return value;
}

TEST(ConfigArchive, ClassFormRoundTrip) {
    for (bool flag : {true, false}) {
        SCOPED_TRACE(flag);
        const Bytes form = Form([&](ArchiveWriter& w) {
            Date(w, kHalfHour);
            w.WriteFlag(flag);
            w.WriteText(kLong);
            w.WriteText("");
            w.WriteText("Servers");
        });
        CCfgClass c;
        c.SetNew(true);
        c.SetPerformTest(!flag);
        Read(c, form);
        ExpectRows({
            {"test time", Text(c.GetTestTime()), "1899-01-01 00:30:00"},
            {"perform test", Text(c.GetPerformTest()), Text(flag)},
            {"bitmap", Text(c.GetBitmap()), Text(kLong)},
            {"description", Text(c.GetDescription()), Text("")},
            {"name", Text(c.GetName()), Text("Servers")},
            {"new (outside)", Text(c.IsNew()), Text(true)},
        });
        EXPECT_EQ(Written(c), form);
    }
}

Bytes DeviceForm(bool flag) {
    return Form([&](ArchiveWriter& w) {
        Date(w, kHalfHour);
        w.WriteFlag(flag);
        w.WriteText("10.0.0.7");
        w.WriteInt32(4);
        w.WriteText("pc.bmp");
        w.WriteFlag(!flag);
        w.WriteText("PCs");
        w.WriteText(kLong);
        w.WriteText("archive 2");
        w.WriteText("archive 1");
        w.WriteText("");
        w.WriteFlag(flag);
        w.WriteText("pc7");
        w.WriteText("archive 4");
        w.WriteFlag(!flag);
        w.WriteUInt32(3'000'000'000u);
    });
}

TEST(ConfigArchive, DeviceFormRoundTrip) {
    for (bool flag : {true, false}) {
        SCOPED_TRACE(flag);
        const Bytes form = DeviceForm(flag);
        CCfgDevice d;
        d.SetIpConversations(true);
        d.SetReportWord(0, 0xA1);
        d.SetReportWord(3, 0xA4);
        d.SetNew(false);
        d.SetPerformTest(!flag);
        d.SetSpareFlag(flag);
        d.SetDialUp(!flag);
        d.SetCsvLogging(flag);
        Read(d, form);
        ExpectRows({
            {"test time", Text(d.GetTestTime()), "1899-01-01 00:30:00"},
            {"perform test", Text(d.GetPerformTest()), Text(flag)},
            {"address", Text(d.GetAddress()), Text("10.0.0.7")},
            {"address type", Text(d.GetAddressType()), Text(4)},
            {"bitmap", Text(d.GetBitmap()), Text("pc.bmp")},
            {"spare flag", Text(d.GetSpareFlag()), Text(!flag)},
            {"class name", Text(d.GetClassName()), Text("PCs")},
            {"description", Text(d.GetDescription()), Text(kLong)},
            {"dial-up", Text(d.GetDialUp()), Text(flag)},
            {"name", Text(d.GetName()), Text("pc7")},
            {"CSV", Text(d.GetCsvLogging()), Text(!flag)},
            {"max bandwidth", Text(d.GetMaxBandwidth()), Text(int64_t{3'000'000'000})},
            {"IP conversations (outside)", Text(d.GetIpConversations()), Text(true)},
            {"report word 0 (outside)", Text(d.GetReportWord(0)), Text(0xA1u)},
            {"report word 3 (outside)", Text(d.GetReportWord(3)), Text(0xA4u)},
            {"new (outside)", Text(d.IsNew()), Text(false)},
        });
        // The archive texts have no accessors: writing the record again shows they came through.
        EXPECT_EQ(Written(d), form);
    }
}

std::string DataPath(const char* name) {
    return vq::test::TestPath("VQ_TEST_DATA_DIR") + "/" + name;
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ConfigArchive, DeviceGoldenBytes) {
    const Bytes golden = ReadFile(DataPath("device-record.bin"));
    ASSERT_FALSE(golden.empty());
    CCfgDevice d;
    d.SetTestTime(OleDateTime(1899, 1, 1, 1, 15, 0));
    d.SetPerformTest(true);
    d.SetAddress("192.168.1.20");
    d.SetAddressType(2);
    d.SetBitmap("printer.bmp");
    d.SetClassName("Printers");
    d.SetDescription("Second floor");
    d.SetDialUp(true);
    d.SetName("lp2");
    d.SetCsvLogging(true);
    d.SetMaxBandwidth(100'000'000);
    EXPECT_EQ(Written(d), golden);

    CCfgDevice back;
    Read(back, golden);
    EXPECT_EQ(back.GetName(), "lp2");
    EXPECT_EQ(back.GetMaxBandwidth(), 100'000'000);
    EXPECT_EQ(Text(back.GetTestTime()), "1899-01-01 01:15:00");
    ExpectCutShortRefused<CCfgDevice>(golden);
}

TEST(ConfigArchive, DeviceBandwidthBeyondTheSlotFailsTheWrite) {
    struct Case {
        int64_t bits;
        bool fits;
    };
    const Case cases[] = {{0, true}, {4'294'967'295, true}, {4'294'967'296, false}, {-1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bits);
        CCfgDevice d;
        d.SetMaxBandwidth(c.bits);
        ArchiveWriter writer;
        if (c.fits) {
            d.Serialize(writer);
            CCfgDevice back;
            Read(back, writer.Data());
            EXPECT_EQ(back.GetMaxBandwidth(), c.bits);
        } else {
            EXPECT_THROW(d.Serialize(writer), ArchiveException);
            EXPECT_TRUE(writer.Data().empty());
        }
    }
}

TEST(ConfigArchive, NetworkFormRoundTrip) {
    for (bool flag : {true, false}) {
        SCOPED_TRACE(flag);
        const Bytes form = Form([&](ArchiveWriter& w) {
            w.WriteInt32(-1);
            w.WriteFlag(flag);
            w.WriteFlag(!flag);
            w.WriteText("Found");
            w.WriteText(kLong);
            w.WriteText("");
            Date(w, kHalfHour);
            w.WriteText("lan");
            w.WriteFlag(flag);
        });
        CCfgNet n;
        n.SetAdapterIndex(5);
        n.SetCaptureFile("/tmp/x.snoop");
        n.SetCaptureEnabled(true);
        n.SetCsvLogging(true);
        n.SetReportWord(2, 0xB3);
        n.SetNew(!flag);
        Read(n, form);
        ExpectRows({
            {"adapter index", Text(n.GetAdapterIndex()), Text(-1)},
            {"assign class", Text(n.GetAssignClass()), Text(flag)},
            {"spare flag", Text(n.GetSpareFlag()), Text(!flag)},
            {"discovery class", Text(n.GetDiscoveryClass()), Text("Found")},
            {"description", Text(n.GetDescription()), Text(kLong)},
            {"adapter address", Text(n.GetAdapterAddress()), Text("")},
            {"spare time", Text(n.GetSpareTime()), "1899-01-01 00:30:00"},
            {"name", Text(n.GetName()), Text("lan")},
            {"new", Text(n.IsNew()), Text(flag)},
            {"capture file (outside)", Text(n.GetCaptureFile()), Text("/tmp/x.snoop")},
            {"capture enabled (outside)", Text(n.GetCaptureEnabled()), Text(true)},
            {"CSV (outside)", Text(n.GetCsvLogging()), Text(true)},
            {"report word 2 (outside)", Text(n.GetReportWord(2)), Text(0xB3u)},
        });
        EXPECT_EQ(Written(n), form);
    }
    ExpectCutShortRefused<CCfgNet>(Written(CCfgNet{}));
}

TEST(ConfigArchive, NetworkNullAndInvalidDatesTravelUnchanged) {
    CCfgNet n;
    CCfgNet back;
    back.SetSpareTime(kWeekly);
    Read(back, Written(n));
    EXPECT_EQ(back.GetSpareTime().GetStatus(), OleDateTime::null);
    n.SetSpareTime(InvalidDate());
    Read(back, Written(n));
    EXPECT_EQ(back.GetSpareTime().GetStatus(), OleDateTime::invalid);
    EXPECT_EQ(back.GetSpareTime().Value(), -400.5);
}

TEST(ConfigArchive, FlagsAreReadFromTheLowestByteOfTheirSlot) {
    struct Case {
        u32 slot;
        bool flag;
    };
    const Case cases[] = {{0, false}, {1, true}, {0x100, false}, {0xFF, true}, {0xFFFFFF00, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.slot);
        Bytes form = Written(CCfgClass{});
        // The perform-test flag follows the 12-byte date.
        for (int i = 0; i < 4; ++i)
            form[12 + i] = static_cast<u8>(c.slot >> (8 * i));
        CCfgClass cls;
        Read(cls, form);
        EXPECT_EQ(cls.GetPerformTest(), c.flag);
    }
}

TEST(ConfigArchive, RootFormRoundTrip) {
    for (bool flag : {true, false}) {
        SCOPED_TRACE(flag);
        const Bytes form = Form([&](ArchiveWriter& w) {
            w.WriteText("archive text");
            w.WriteInt32(-3);
            w.WriteFlag(flag);  // disable active testing
            w.WriteFlag(!flag); // use default level
            w.WriteFlag(flag);  // assign new devices
            w.WriteFlag(!flag); // report new addresses
            w.WriteFlag(flag);  // create local devices
            w.WriteFlag(!flag); // disable event monitor
            w.WriteFlag(flag);  // use default logon
            w.WriteFlag(!flag); // disable data monitor
            w.WriteFlag(flag);  // password protection
            w.WriteFlag(!flag); // keep event status
            w.WriteText("secret");
            w.WriteText(kLong);
            w.WriteInt32(15);
            w.WriteInt32(-4);
            w.WriteText("Ops");
            w.WriteText("");
            w.WriteInt32(-1);
            w.WriteText("mailer");
            w.WriteText("mailpw");
            w.WriteInt32(-2);
            w.WriteFlag(flag);
            Date(w, kHalfHour);
            w.WriteInt32(250);
        });
        CCfgOstrelix r;
        r.SetDbVersion("DBV2.0a");
        r.SetCsvLogging(true);
        r.SetCsvFrequency(9);
        r.SetSpareFlagA(true);
        r.SetSpareFlagB(true);
        r.SetSpareFlagC(true);
        r.SetCapturePacketSize(1514);
        r.SetCaptureFileSize(204800);
        r.SetCaptureFixedLength(true);
        r.SetCaptureFormat(1);
        r.SetCaptureEnabled(true);
        Read(r, form);
        ExpectRows({
            {"disable active test", Text(r.GetDisableActiveTest()), Text(flag)},
            {"use default level", Text(r.GetUseDefaultLevel()), Text(!flag)},
            {"assign new devices", Text(r.GetAssignNewDevices()), Text(flag)},
            {"report new addresses", Text(r.GetReportNewAddresses()), Text(!flag)},
            {"create local devices", Text(r.GetCreateLocalDevices()), Text(flag)},
            {"disable event monitor", Text(r.GetDisableEventMonitor()), Text(!flag)},
            {"use default logon", Text(r.GetUseDefaultLogon()), Text(flag)},
            {"disable data monitor", Text(r.GetDisableDataMonitor()), Text(!flag)},
            {"password protect", Text(r.GetPasswordProtect()), Text(flag)},
            {"keep event status", Text(r.GetKeepEventStatus()), Text(!flag)},
            {"password", Text(r.GetPassword()), Text("secret")},
            {"new device class", Text(r.GetNewDeviceClass()), Text(kLong)},
            {"clear minutes", Text(r.GetEventClearMinutes()), Text(15)},
            {"default group", Text(r.GetDefaultLogGroup()), Text("Ops")},
            {"default level", Text(r.GetDefaultLogLevel()), Text("")},
            {"messaging user", Text(r.GetMessagingUser()), Text("mailer")},
            {"messaging password", Text(r.GetMessagingPassword()), Text("mailpw")},
            {"new", Text(r.IsNew()), Text(flag)},
            {"monitor reset", Text(r.GetMonitorResetTime()), "1899-01-01 00:30:00"},
            {"event entries", Text(r.GetEventEntries()), Text(250)},
            {"database version (outside)", Text(r.GetDbVersion()), Text("DBV2.0a")},
            {"CSV (outside)", Text(r.GetCsvLogging()), Text(true)},
            {"CSV frequency (outside)", Text(r.GetCsvFrequency()), Text(9)},
            {"spare A (outside)", Text(r.GetSpareFlagA()), Text(true)},
            {"spare B (outside)", Text(r.GetSpareFlagB()), Text(true)},
            {"spare C (outside)", Text(r.GetSpareFlagC()), Text(true)},
            {"capture packet size (outside)", Text(r.GetCapturePacketSize()), Text(1514)},
            {"capture file size (outside)", Text(r.GetCaptureFileSize()), Text(204800)},
            {"capture fixed length (outside)", Text(r.GetCaptureFixedLength()), Text(true)},
            {"capture format (outside)", Text(r.GetCaptureFormat()), Text(1)},
            {"capture enabled (outside)", Text(r.GetCaptureEnabled()), Text(true)},
        });
        EXPECT_EQ(Written(r), form);
    }
    ExpectCutShortRefused<CCfgOstrelix>(Written(CCfgOstrelix{}));
}

Bytes EventForm(bool flag, const char* owner) {
    return Form([&](ArchiveWriter& w) {
        Date(w, OleDateTime(1900, 1, 1, 6, 0, 0));
        w.WriteInt32(1);
        w.WriteFlag(flag);
        Date(w, OleDateTime(1920, 1, 1, 0, 0, 0));
        w.WriteInt32(1);
        w.WriteInt32(0);
        w.WriteInt32(-7);
        w.WriteInt32(13);
        Date(w, kWeekly);
        w.WriteInt32(500);
        w.WriteText(kLong);
        w.WriteInt32(6);
        w.WriteInt32(3);
        w.WriteText("Ops");
        w.WriteText("High");
        w.WriteText("");
        w.WriteText("Low");
        Date(w, kHalfHour);
        w.WriteInt32(3);
        w.WriteInt32(-8);
        w.WriteInt32(1);
        if (owner) w.WriteText(owner);
    });
}

void ExpectEventForm(const CCfgEvent& e, bool flag) {
    ExpectRows({
        {"baseline time", Text(e.GetBaselineTime()), "1900-01-01 06:00:00"},
        {"baseline mode", Text(e.GetBaselineMode()), Text(1)},
        {"reset when normal", Text(e.GetResetWhenNormal()), Text(flag)},
        {"compare from", Text(e.GetCompareFrom()), "1920-01-01 00:00:00"},
        {"measure", Text(e.GetMeasure()), Text(1)},
        {"direction", Text(e.GetDirection()), Text(0)},
        {"spare A", Text(e.GetSpareValueA()), Text(-7)},
        {"type", Text(e.GetType()), Text(13)},
        {"frequency", Text(e.GetFrequency()), "1901-01-09 14:30:00"},
        {"threshold", Text(e.GetThreshold()), Text(500)},
        {"message", Text(e.GetMessage()), Text(kLong)},
        {"filter option", Text(e.GetFilterOption()), Text(6)},
        {"limit", Text(e.GetLimit()), Text(3)},
        {"primary group", Text(e.GetPrimaryGroup()), Text("Ops")},
        {"primary level", Text(e.GetPrimaryLevel()), Text("High")},
        {"secondary group", Text(e.GetSecondaryGroup()), Text("")},
        {"secondary level", Text(e.GetSecondaryLevel()), Text("Low")},
        {"sample period", Text(e.GetSampleTime()), "1899-01-01 00:30:00"},
        {"status update", Text(e.GetSeverity()), Text(3)},
        {"spare B", Text(e.GetSpareValueB()), Text(-8)},
        {"compare to", Text(e.GetCompareTo()), Text(1)},
        {"filter word 0 (outside)", Text(e.GetFilterWord(0)), Text(0xC1u)},
        {"filter word 7 (outside)", Text(e.GetFilterWord(7)), Text(0xC8u)},
        {"new (outside)", Text(e.IsNew()), Text(false)},
    });
}

template <typename Event> void PrepareReceiver(Event& e, bool flag) {
    e.SetFilterWord(0, 0xC1);
    e.SetFilterWord(7, 0xC8);
    e.SetNew(false);
    e.SetResetWhenNormal(!flag);
}

TEST(ConfigArchive, EventFormsRoundTrip) {
    for (bool flag : {true, false}) {
        SCOPED_TRACE(flag);
        {
            const Bytes form = EventForm(flag, nullptr);
            CCfgNetworkEvent e;
            PrepareReceiver(e, flag);
            Read(e, form);
            ExpectEventForm(e, flag);
            EXPECT_EQ(e.GetOwnerName(), "");
            e.SetOwnerName("lan");
            EXPECT_EQ(Written(e), form);
        }
        {
            const Bytes form = EventForm(flag, "Servers");
            CCfgClassEvent e;
            PrepareReceiver(e, flag);
            Read(e, form);
            ExpectEventForm(e, flag);
            EXPECT_EQ(e.GetOwnerName(), "Servers");
            EXPECT_EQ(Written(e), form);
        }
        {
            const Bytes form = EventForm(flag, "pc7");
            CCfgDeviceEvent e;
            PrepareReceiver(e, flag);
            Read(e, form);
            ExpectEventForm(e, flag);
            EXPECT_EQ(e.GetOwnerName(), "pc7");
            EXPECT_EQ(Written(e), form);
        }
    }
    ExpectCutShortRefused<CCfgDeviceEvent>(EventForm(true, "pc7"));
    ExpectCutShortRefused<CCfgNetworkEvent>(EventForm(true, nullptr));
}

TEST(ConfigArchive, MalformedValuesAreRefusedWithoutChangingTheRecord) {
    Bytes form = Written(CCfgClass{});
    form[0] = 7; // date-time status
    CCfgClass c;
    c.SetBitmap("kept");
    ArchiveReader reader(form);
    EXPECT_THROW(c.Serialize(reader), ArchiveException);
    EXPECT_EQ(c.GetBitmap(), "kept");
}

} // namespace
} // namespace vq

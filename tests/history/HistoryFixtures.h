#pragma once

#include "history/HistoryDatabaseMapEntry.h"
#include "netmodel/Conversation.h"
#include "netmodel/Environment.h"
#include "netmodel/InterfaceInfo.h"
#include "netmodel/Traffic.h"
#include "netmodel/Tuple.h"
#include "platform/db/Database.h"
#include "platform/thread/MessageQueue.h"
#include "platform/time/SystemTime.h"
#include "runtime/EngineGlobals.h"
#include "runtime/HeadlessApp.h"
#include "runtime/NotificationThreadMessage.h"
#include "runtime/TimeUnits.h"
#include "tests/support/TempDir.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vq::history::test {

// A UTC time of the test calendar.
inline Timestamp Utc(int year, int month, int day, int hour, int minute, int second = 0) {
    SystemTime fields;
    fields.year = uint16_t(year);
    fields.month = uint16_t(month);
    fields.day = uint16_t(day);
    fields.hour = uint16_t(hour);
    fields.minute = uint16_t(minute);
    fields.second = uint16_t(second);
    Timestamp time;
    time.SetSystemTime(fields);
    return time;
}

inline TimeSpan Minutes(int64_t count) {
    return TimeSpan(count, Unit::Minutes);
}

// A closed interval as the monitor hands it over: its own model and its conversations.
class CheckpointBuilder {
public:
    CheckpointBuilder() : m_Model(uint8_t(0)), m_Traffic(1) {}

    // A host with a MAC address and, when `ip` is not 0, an IP address (with a name when given).
    HostAddress* Host(uint32_t macId, uint32_t ip = 0, const char* ipName = nullptr) {
        const uint8_t mac[6] = {
            0x00, 0x10, uint8_t(macId >> 24), uint8_t(macId >> 16), uint8_t(macId >> 8), uint8_t(macId)};
        auto* host = new HostAddress(uint8_t(0));
        host->SetMac(*m_Model.FindOrAddMacAddress(mac, false), HostAddress::AUTH);
        if (ip != 0) {
            const uint8_t bytes[4] = {uint8_t(ip >> 24), uint8_t(ip >> 16), uint8_t(ip >> 8), uint8_t(ip)};
            IpAddress* address = m_Model.FindOrAddIpAddress(bytes, false);
            if (ipName != nullptr) address->SetNameAt(ipName, 0);
            host->SetIp(*address, HostAddress::AUTH);
        }
        m_Model.AddHost(host, false);
        return host;
    }

    InterfaceInfo* Interface(int16_t number, const char* name, const char* description = "") {
        auto* interface = new InterfaceInfo(number, name, description, 0, 1514, 10'000'000'000, "10.0.0.1",
                                            "00:10:20:30:40:ff", nullptr);
        m_Model.AddInterface(interface, false);
        return interface;
    }

    Tuple* Stream(HostAddress* source, HostAddress* destination, uint16_t interface, uint16_t application) {
        Tuple::Fields fields{};
        fields[FieldInterface] = interface;
        fields[FieldDataLink] = 1;
        fields[FieldNetwork] = 0x800;
        fields[FieldTransport] = 6;
        fields[FieldSession] = fields[FieldReferenceSession] = 3;
        fields[FieldApplication] = application;
        auto* tuple = new Tuple(source, destination, fields, uint8_t(0));
        m_Model.AddTuple(tuple, false);
        return tuple;
    }

    void Count(Tuple* tuple, int64_t octets, int64_t packets) {
        Conversation conversation(tuple);
        TrafficData counts;
        counts.m_Counters[TrafficData::Octets] = octets;
        counts.m_Counters[TrafficData::Packets] = packets;
        counts.m_Counters[TrafficData::Size65To127] = packets;
        counts.m_Counters[TrafficData::Errors] = 1;
        conversation.SetTraffic(counts);
        bool created = false;
        Conversation* stored = m_Traffic.FindOrAdd(conversation, &created);
        if (!created) stored->AddConversation(conversation);
    }

    void Clear() { m_Traffic.Clear(); }

    CheckpointSource At(const Timestamp& end) { return {end, Minutes(5), m_Model, m_Traffic}; }

    Environment& Model() { return m_Model; }

private:
    Environment m_Model;
    Traffic m_Traffic;
};

// The usual small interval: hosts A (named) and B, one interface, two tuples.
struct TwoHostCheckpoint : CheckpointBuilder {
    TwoHostCheckpoint() {
        a = Host(1, 0x0A000001, "alpha");
        b = Host(2, 0x0A000002);
        Interface(0, "eth0");
        ab = Stream(a, b, 0, 80);
        ba = Stream(b, a, NoInterface, 80);
        Count(ab, 1000, 10);
        Count(ba, 500, 5);
    }
    HostAddress* a;
    HostAddress* b;
    Tuple* ab;
    Tuple* ba;
};

inline int64_t Scalar(const std::string& path, const std::string& sql) {
    auto database = db::Database::Open(path, db::OpenMode::ReadOnly);
    auto statement = database->Prepare(sql);
    statement.Step();
    return statement.GetInt64(0);
}

inline constexpr std::array<const char*, 11> kCountedTables = {
    "TimeLine", "MAC_Name", "IP_Name", "IPX_Name", "MAC", "IP", "IPX", "Host", "Interface", "Tuple", "Data"};

inline std::array<int64_t, 11> RowCounts(const std::string& path) {
    std::array<int64_t, 11> counts{};
    for (size_t i = 0; i < kCountedTables.size(); ++i)
        counts[i] = Scalar(path, std::string("SELECT count(*) FROM \"") + kCountedTables[i] + "\"");
    return counts;
}

// Rows whose references lead nowhere; 0 in a sound file.
inline int64_t DanglingReferences(const std::string& path) {
    const char* checks[] = {
        "SELECT count(*) FROM Data d LEFT JOIN Tuple t ON d.TupleIndex = t.TupleIndex WHERE t.TupleIndex IS "
        "NULL",
        "SELECT count(*) FROM Data d LEFT JOIN TimeLine l ON d.TimeIndex = l.TimeIndex WHERE l.TimeIndex IS "
        "NULL",
        "SELECT count(*) FROM Tuple t LEFT JOIN Host h ON t.SrcHostIndex = h.HostIndex WHERE h.HostIndex IS "
        "NULL",
        "SELECT count(*) FROM Tuple t LEFT JOIN Host h ON t.DstHostIndex = h.HostIndex WHERE h.HostIndex IS "
        "NULL",
        "SELECT count(*) FROM Host h LEFT JOIN MAC m ON h.MacIndex = m.MacIndex WHERE m.MacIndex IS NULL",
        "SELECT count(*) FROM Host h LEFT JOIN IP i ON h.IpIndex = i.IpIndex WHERE i.IpIndex IS NULL",
        "SELECT count(*) FROM Host h LEFT JOIN IPX x ON h.IpxIndex = x.IpxIndex WHERE x.IpxIndex IS NULL",
    };
    int64_t total = 0;
    for (const char* check : checks)
        total += Scalar(path, check);
    return total;
}

// The main thread of a test: keeps the texts of the reports it is sent.
class ReportingApp : public HeadlessApp {
public:
    std::vector<std::string> reports;

protected:
    void OnThreadMessage(std::uint32_t id, ThreadMessage* message) override {
        if (auto* report = dynamic_cast<NotificationThreadMessage*>(message))
            reports.push_back(report->GetText());
        HeadlessApp::OnThreadMessage(id, message);
    }
};

// Fresh engine state, a main thread that collects reports, and a folder for the files.
class HistoryTest : public ::testing::Test {
protected:
    HistoryTest()
        : m_Engine(std::make_unique<ScopedEngineGlobals>()), m_App(std::make_unique<ReportingApp>()) {
        m_App->Register();
    }
    ~HistoryTest() override {
        m_App->PumpPending();
        m_App.reset();
        m_Engine.reset();
    }

    // The reports that reached the main thread so far.
    const std::vector<std::string>& Reports() {
        m_App->PumpPending();
        return m_App->reports;
    }

    std::unique_ptr<ScopedEngineGlobals> m_Engine;
    std::unique_ptr<ReportingApp> m_App;
    vq::test::TempDir m_Dir;
    std::string m_Path = m_Dir.File("history.db");
};

} // namespace vq::history::test

#include "capture/PacketDump.h"

#include "FakeAdapter.h"
#include "Frames.h"
#include "capture/Packet.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sys/resource.h>

namespace vq::test {
namespace {

namespace fs = std::filesystem;

constexpr uint64_t kUnixEpochTicks = 116'444'736'000'000'000ull;

struct FakeChannel : CaptureChannel {
    std::span<const uint8_t, 6> GetAdapterAddress() const override { return mac; }
    uint32_t GetLostTotal() const override { return lost; }
    std::array<uint8_t, 6> mac{0x00, 0xA0, 0xC9, 0x12, 0x34, 0x5F};
    uint32_t lost = 0;
};

struct FakeSettings : CaptureSettings {
    std::string GetCaptureFile(const std::string& address) const override {
        auto it = files.find(address);
        return it == files.end() ? "" : it->second;
    }
    bool GetFixedLength() const override { return fixed; }
    uint32_t GetMaximumSize() const override { return maximum; }
    uint32_t GetRecordLength() const override { return recordLength; }
    std::map<std::string, std::string> files;
    bool fixed = false;
    uint32_t maximum = 0;
    uint32_t recordLength = 0;
};

struct Record {
    uint32_t original, included, length, drops, seconds, microseconds;
    Bytes data;
};

uint32_t Read32(const Bytes& bytes, size_t at) {
    return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 | uint32_t(bytes[at + 2]) << 8 |
           bytes[at + 3];
}

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// The records of a snoop file; fails the test on a damaged header or record.
std::vector<Record> ReadSnoop(const fs::path& path) {
    Bytes file = ReadFile(path);
    EXPECT_GE(file.size(), 16u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 16), Hex("736e6f6f70000000 00000002 00000004"));
    std::vector<Record> records;
    for (size_t at = 16; at < file.size();) {
        if (file.size() - at < 24) {
            ADD_FAILURE() << "record header cut at " << at;
            break;
        }
        Record r{Read32(file, at),
                 Read32(file, at + 4),
                 Read32(file, at + 8),
                 Read32(file, at + 12),
                 Read32(file, at + 16),
                 Read32(file, at + 20),
                 {}};
        if (r.length < 24 + r.included || file.size() - at < r.length) {
            ADD_FAILURE() << "record damaged at " << at;
            break;
        }
        r.data.assign(file.begin() + at + 24, file.begin() + at + r.length);
        records.push_back(r);
        at += r.length;
    }
    return records;
}

class PacketDumpTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder =
            fs::temp_directory_path() / ("vq-dump-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
        path = folder / "capture.snoop";
        settings.files["00:a0:c9:12:34:5f"] = path.string();
    }
    void TearDown() override { fs::remove_all(folder); }

    // A decoded frame of the given size whose bytes after the Ethernet header count up from seed.
    bool WriteFrame(PacketDump& dump, size_t size, uint8_t seed = 0, uint64_t ticks = kUnixEpochTicks,
                    int32_t medium = 0) {
        Bytes frame = Concat({Ethernet("ff:ff:ff:ff:ff:ff", "00:a0:c9:12:34:5f", 0x9000), Bytes(size - 14)});
        for (size_t i = 14; i < size; ++i)
            frame[i] = uint8_t(seed + i);
        FakeAdapter adapter(medium);
        Packet packet(frame.data(), uint32_t(frame.size()), adapter, 0, Timestamp(ticks), 1);
        packet.Decode();
        return dump.Write(packet);
    }

    fs::path folder, path;
    FakeChannel channel;
    FakeSettings settings;
};

TEST_F(PacketDumpTest, RecordsHoldTheCapturedBytesTheFrameLengthAndTheTime) {
    PacketDump dump(channel, settings);
    ASSERT_TRUE(dump.Open());
    EXPECT_TRUE(WriteFrame(dump, 60, 1, kUnixEpochTicks + 15'000'000));
    EXPECT_TRUE(WriteFrame(dump, 1000, 2, kUnixEpochTicks + 1'700'000'000ull * 10'000'000 + 1234567));
    dump.Close();

    auto records = ReadSnoop(path);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].original, 64u);
    EXPECT_EQ(records[0].included, 60u);
    EXPECT_EQ(records[0].length, 84u);
    EXPECT_EQ(records[0].seconds, 1u);
    EXPECT_EQ(records[0].microseconds, 500000u);
    EXPECT_EQ(records[0].data[14], uint8_t(1 + 14));
    EXPECT_EQ(records[1].original, 1004u);
    EXPECT_EQ(records[1].included, 1000u);
    EXPECT_EQ(records[1].length, 1024u);
    EXPECT_EQ(records[1].seconds, 1'700'000'000u);
    EXPECT_EQ(records[1].microseconds, 123456u);
    EXPECT_EQ(records[1].data[999], uint8_t(2 + 999));
}

TEST_F(PacketDumpTest, FixedLengthRecordsArePaddedOrCutToOneSize) {
    settings.fixed = true;
    settings.maximum = 102400;
    settings.recordLength = 128;
    PacketDump dump(channel, settings);
    ASSERT_TRUE(dump.Open());
    WriteFrame(dump, 60);
    WriteFrame(dump, 1000);
    dump.Close();

    auto records = ReadSnoop(path);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].included, 60u);
    EXPECT_EQ(records[0].length, 152u);
    EXPECT_EQ(records[0].data,
              Concat({Bytes(records[0].data.begin(), records[0].data.begin() + 60), Bytes(68)}));
    EXPECT_EQ(records[1].original, 1004u);
    EXPECT_EQ(records[1].included, 128u);
    EXPECT_EQ(records[1].length, 152u);
}

TEST_F(PacketDumpTest, FixedLengthFileWrapsAfterItsHeaderAtTheMaximumSize) {
    settings.fixed = true;
    settings.maximum = 102400;
    settings.recordLength = 128;
    PacketDump dump(channel, settings);
    ASSERT_TRUE(dump.Open());
    const size_t slots = (102400 - 16 + 151) / 152; // the record ending at or after the maximum is the last
    for (size_t i = 0; i < slots + 5; ++i) {
        ASSERT_TRUE(WriteFrame(dump, i % 2 ? 1000 : 60, uint8_t(i)));
        dump.Flush();
        EXPECT_LE(fs::file_size(path), 102400u + 152u);
    }
    dump.Close();

    EXPECT_EQ(fs::file_size(path), 16 + slots * 152);
    auto records = ReadSnoop(path);
    ASSERT_EQ(records.size(), slots);
    // The five newest records overwrote the five oldest.
    EXPECT_EQ(records[0].data[14], uint8_t(slots + 14));
    EXPECT_EQ(records[4].data[14], uint8_t(slots + 4 + 14));
    EXPECT_EQ(records[5].data[14], uint8_t(5 + 14));
}

TEST_F(PacketDumpTest, DropsCountFromTheLostTotalAtOpen) {
    channel.lost = 5;
    PacketDump dump(channel, settings);
    ASSERT_TRUE(dump.Open());
    WriteFrame(dump, 60);
    channel.lost = 8;
    WriteFrame(dump, 60);
    dump.Close();
    auto first = ReadSnoop(path);

    channel.lost = 10;
    ASSERT_TRUE(dump.Open());
    WriteFrame(dump, 60);
    channel.lost = 12;
    WriteFrame(dump, 60);
    dump.Close();
    auto second = ReadSnoop(path);

    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].drops, 0u);
    EXPECT_EQ(first[1].drops, 3u);
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0].drops, 0u);
    EXPECT_EQ(second[1].drops, 2u);
}

TEST_F(PacketDumpTest, OnlyEthernetFramesAreWritten) {
    PacketDump dump(channel, settings);
    ASSERT_TRUE(dump.Open());
    EXPECT_FALSE(WriteFrame(dump, 60, 0, kUnixEpochTicks, 10));
    EXPECT_FALSE(WriteFrame(dump, 60, 0, kUnixEpochTicks, 19));
    EXPECT_TRUE(WriteFrame(dump, 60, 0, kUnixEpochTicks, 5));
    dump.Close();
    EXPECT_EQ(ReadSnoop(path).size(), 1u);
    EXPECT_FALSE(WriteFrame(dump, 60));
}

TEST_F(PacketDumpTest, OpenFailsWithoutAFileAndKeepsAnOpenFile) {
    struct Case {
        const char* name;
        std::string file;
    };
    const Case cases[] = {
        {"no interface names the adapter", ""},
        {"folder missing", (folder / "missing" / "capture.snoop").string()},
        {"header cannot be written", "/dev/full"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSettings other;
        if (!c.file.empty()) other.files["00:a0:c9:12:34:5f"] = c.file;
        PacketDump dump(channel, other);
        EXPECT_FALSE(dump.Open());
        EXPECT_FALSE(dump.IsOpen());
    }

    PacketDump dump(channel, settings);
    ASSERT_TRUE(dump.Open());
    WriteFrame(dump, 60);
    dump.Flush();
    EXPECT_TRUE(dump.Open());
    WriteFrame(dump, 60);
    dump.Close();
    EXPECT_EQ(ReadSnoop(path).size(), 2u);
}

TEST_F(PacketDumpTest, AShortWriteKeepsOnlyWholeRecords) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit limit = old;
    limit.rlim_cur = 16 + 3 * 84 + 40;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);

    PacketDump dump(channel, settings);
    ASSERT_TRUE(dump.Open());
    for (int i = 0; i < 5; ++i)
        WriteFrame(dump, 60, uint8_t(i));
    dump.Flush();
    limit.rlim_cur = old.rlim_cur;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    WriteFrame(dump, 60, 9);
    dump.Close();

    auto records = ReadSnoop(path);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[2].data[14], uint8_t(2 + 14));
    EXPECT_EQ(records[3].data[14], uint8_t(9 + 14));
}

} // namespace
} // namespace vq::test

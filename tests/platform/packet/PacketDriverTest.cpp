#include "platform/packet/PacketDriver.h"

#include "platform/packet/DeviceName.h"
#include "tests/platform/packet/TestCaptureFiles.h"
#include "tests/support/TestPaths.h"

#include <cerrno>
#include <cstring>
#include <deque>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <pcap/pcap.h>

namespace vq {
namespace {

using namespace std::chrono_literals;
using test::MakeEthernetFrame;
using test::TestFrame;

struct Received {
    uint32_t status;
    uint64_t sequence;
    uint64_t time;
    uint32_t captured;
    uint32_t original;
    std::vector<uint8_t> data;
};

uint32_t SetFilter(PacketHandle handle, uint32_t filter) {
    NdisRequest request;
    request.type = NdisRequest::kSet;
    request.oid = ndis::kOidCurrentPacketFilter;
    request.buffer = &filter;
    request.bufferLength = sizeof filter;
    return W32N_MakeNdisRequest(handle, request, nullptr, 1);
}

// A ring of posted reads taken in posting order, as the receive channel takes them.
class Ring {
public:
    Ring(PacketHandle handle, size_t count) : handle_(handle), buffers_(count) {
        for (auto& buffer : buffers_) {
            buffer = std::make_unique<Buffer>();
            buffer->overlapped.event = &buffer->event;
            buffer->record.capacity = DriverRecord::kDataCapacity;
            EXPECT_EQ(W32N_PacketRead(handle_, &buffer->record, &buffer->bytes, &buffer->overlapped, 0), 0);
        }
    }

    // The next completed read, re-posted after copying; nullopt when none completes in time.
    std::optional<Received> Take(std::chrono::milliseconds timeout = 5s) {
        Buffer& buffer = *buffers_[current_];
        if (!test::WaitFor(buffer.event, timeout)) return std::nullopt;
        uint32_t bytes = 0;
        EXPECT_TRUE(GetOverlappedResult(handle_, buffer.overlapped, &bytes));
        const DriverRecord& record = buffer.record;
        EXPECT_EQ(bytes, offsetof(DriverRecord, data) + record.capturedLength);
        Received received{
            record.status,         record.sequence,
            record.time,           record.capturedLength,
            record.originalLength, std::vector<uint8_t>(record.data, record.data + record.capturedLength)};
        EXPECT_EQ(W32N_PacketRead(handle_, &buffer.record, &buffer.bytes, &buffer.overlapped, 0), 0);
        current_ = (current_ + 1) % buffers_.size();
        return received;
    }

    bool CurrentReady() {
        uint32_t bytes;
        return GetOverlappedResult(handle_, buffers_[current_]->overlapped, &bytes);
    }

private:
    struct Buffer {
        Overlapped overlapped;
        uint32_t bytes = 0;
        DriverRecord record{};
        Event event;
    };
    PacketHandle handle_;
    std::vector<std::unique_ptr<Buffer>> buffers_;
    size_t current_ = 0;
};

std::vector<TestFrame> NumberedFrames(int count, size_t size = 60) {
    std::vector<TestFrame> frames;
    for (int i = 0; i < count; ++i)
        frames.push_back({uint32_t(1000 + i), uint32_t(i * 1000), MakeEthernetFrame(size + i, i)});
    return frames;
}

std::string Replay(const std::string& path, const std::string& options = "") {
    return "\\Device\\replay:" + path + (options.empty() ? "" : "?" + options);
}

int ThreadsOfThisProcess() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("Threads:", 0) == 0) return std::stoi(line.substr(8));
    return -1;
}

TEST(DeviceName, ParsesLiveAndReplayNames) {
    auto live = DeviceName::Parse("\\Device\\eth0");
    ASSERT_TRUE(live);
    EXPECT_FALSE(live->IsReplay());
    EXPECT_EQ(live->InterfaceName(), "eth0");

    // The last '?' starts the options, so a path may hold one.
    auto replay = DeviceName::Parse(
        "\\Device\\replay:/tmp/a?b.pcap?pace=2.5&mac=02:00:00:00:00:07&ip=10.1.2.3/16&speed=100000000"
        "&gap=3:2&dup=4&back=5:3&status=6:C0010005&openfail");
    ASSERT_TRUE(replay);
    EXPECT_TRUE(replay->IsReplay());
    EXPECT_EQ(replay->Path(), "/tmp/a?b.pcap");
    const ReplayOptions& options = replay->Options();
    EXPECT_DOUBLE_EQ(options.pace, 2.5);
    EXPECT_EQ(options.mac[5], 7);
    EXPECT_EQ(options.ip, 0x0A010203u);
    EXPECT_EQ(options.prefixLength, 16);
    EXPECT_EQ(options.speed, 100000000u);
    ASSERT_EQ(options.gaps.size(), 1u);
    EXPECT_EQ(options.gaps[0].frame, 3u);
    EXPECT_EQ(options.gaps[0].count, 2u);
    EXPECT_EQ(options.duplicates, std::vector<uint64_t>{4});
    EXPECT_EQ(options.backs[0].count, 3u);
    EXPECT_EQ(options.statuses[0].code, 0xC0010005u);
    EXPECT_TRUE(options.openFail);

    for (const char* bad : {"eth0", "\\Device\\", "\\Device\\replay:", "\\Device\\replay:/x?pace=-1",
                            "\\Device\\replay:/x?pace=fast", "\\Device\\replay:/x?mac=02:00:00:00:00",
                            "\\Device\\replay:/x?ip=10.0.0.1", "\\Device\\replay:/x?ip=10.0.0.256/8",
                            "\\Device\\replay:/x?ip=10.0.0.1/33", "\\Device\\replay:/x?gap=0:1",
                            "\\Device\\replay:/x?dup=x", "\\Device\\replay:/x?colour=red", "\\Device\\a/b"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(DeviceName::Parse(bad));
    }
}

TEST(PacketDriver, ReplayDeliversEveryFrameInOrderOnceAccepted) {
    test::TempDir dir;
    auto frames = NumberedFrames(6);
    test::WritePcap(dir.File("six.pcap"), frames);
    PacketHandle handle = W32N_OpenAdapter(Replay(dir.File("six.pcap")).c_str());
    const int threadsOpen = ThreadsOfThisProcess();
    ASSERT_NE(handle, kInvalidPacketHandle);
    Ring ring(handle, 4);

    ASSERT_EQ(SetFilter(handle, 0), ndis::kStatusSuccess);
    ASSERT_EQ(SetFilter(handle, 0), ndis::kStatusSuccess);
    EXPECT_FALSE(ring.CurrentReady());
    EXPECT_EQ(W32N_GetLastError(), kErrorIoIncomplete);

    // The file is always ready: the reads complete on this thread before the request returns.
    ASSERT_EQ(SetFilter(handle, ndis::kFilterDirectedPromiscuous), ndis::kStatusSuccess);
    EXPECT_TRUE(ring.CurrentReady());
    for (size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(i);
        auto got = ring.Take();
        ASSERT_TRUE(got);
        EXPECT_EQ(got->status, 0u);
        EXPECT_EQ(got->sequence, i + 1);
        EXPECT_EQ(got->time, (frames[i].seconds + 11644473600ULL) * 10000000ULL + frames[i].fraction * 10ULL);
        EXPECT_EQ(got->captured, frames[i].data.size());
        EXPECT_EQ(got->original, frames[i].data.size());
        EXPECT_EQ(got->data, frames[i].data);
    }
    EXPECT_TRUE(IsReplayFinished(handle));
    EXPECT_FALSE(ring.Take(50ms));
    EXPECT_EQ(W32N_CloseAdapter(handle), 0);
    EXPECT_FALSE(IsReplayFinished(handle));
    // Counted against the closed handle: a sanitizer may start threads of its own on the way.
    EXPECT_EQ(ThreadsOfThisProcess(), threadsOpen) << "a replay with no pace needs no reader thread";
}

TEST(PacketDriver, PausedReplayHoldsItsFramesAndGoesOnAfterResume) {
    test::TempDir dir;
    test::WritePcap(dir.File("f.pcap"), NumberedFrames(4));
    PacketHandle handle = W32N_OpenAdapter(Replay(dir.File("f.pcap")).c_str());
    ASSERT_NE(handle, kInvalidPacketHandle);
    Ring ring(handle, 1);
    ASSERT_EQ(SetFilter(handle, ndis::kFilterDirectedPromiscuous), 0u);
    EXPECT_EQ(ring.Take()->sequence, 1u);
    ASSERT_EQ(SetFilter(handle, 0), 0u);
    ASSERT_EQ(SetFilter(handle, 0), 0u);
    // The re-posted read may have been filled before the pause; anything after it must wait.
    if (ring.CurrentReady()) {
        EXPECT_EQ(ring.Take()->sequence, 2u);
    }
    ASSERT_EQ(SetFilter(handle, 0), 0u);
    EXPECT_FALSE(ring.CurrentReady());
    ASSERT_EQ(SetFilter(handle, ndis::kFilterDirectedPromiscuous), 0u);
    uint64_t last = 0;
    while (auto got = ring.Take(200ms))
        last = got->sequence;
    EXPECT_EQ(last, 4u);
    W32N_CloseAdapter(handle);
}

TEST(PacketDriver, ReplayFaultsShapeTheSequence) {
    test::TempDir dir;
    test::WritePcap(dir.File("f.pcap"), NumberedFrames(7));
    PacketHandle handle =
        W32N_OpenAdapter(Replay(dir.File("f.pcap"), "gap=2:3&dup=3&back=5:2&status=6:C0010005").c_str());
    ASSERT_NE(handle, kInvalidPacketHandle);
    Ring ring(handle, 3);
    ASSERT_EQ(SetFilter(handle, ndis::kFilterDirectedPromiscuous), 0u);
    const uint64_t sequences[] = {1, 5, 5, 6, 5, 6, 7};
    const uint32_t statuses[] = {0, 0, 0, 0, 0, 0xC0010005, 0};
    for (size_t i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        auto got = ring.Take();
        ASSERT_TRUE(got);
        EXPECT_EQ(got->sequence, sequences[i]);
        EXPECT_EQ(got->status, statuses[i]);
    }
    W32N_CloseAdapter(handle);
}

TEST(PacketDriver, SnoopReplayHonoursPadsAndFoldsDropsIntoTheSequence) {
    test::TempDir dir;
    std::vector<TestFrame> frames = {
        {10, 500000, MakeEthernetFrame(60, 1), 0, 0, 3}, {11, 0, MakeEthernetFrame(61, 2), 0, 2, 0},
        {12, 0, MakeEthernetFrame(62, 3), 70, 2, 1},     {13, 0, MakeEthernetFrame(63, 4), 0, 7, 2},
        {14, 0, MakeEthernetFrame(64, 5), 0, 1, 0}, // a count that falls is no loss
    };
    test::WriteSnoop(dir.File("s.snoop"), frames);
    PacketHandle handle = W32N_OpenAdapter(Replay(dir.File("s.snoop")).c_str());
    ASSERT_NE(handle, kInvalidPacketHandle);
    Ring ring(handle, 2);
    ASSERT_EQ(SetFilter(handle, ndis::kFilterDirectedPromiscuous), 0u);
    const uint64_t sequences[] = {1, 4, 5, 11, 12};
    for (size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(i);
        auto got = ring.Take();
        ASSERT_TRUE(got);
        EXPECT_EQ(got->sequence, sequences[i]);
        EXPECT_EQ(got->data, frames[i].data);
        EXPECT_EQ(got->original, frames[i].originalLength ? frames[i].originalLength : frames[i].data.size());
        if (i == 0) {
            EXPECT_EQ(got->time, (10 + 11644473600ULL) * 10000000ULL + 5000000ULL);
        }
    }
    EXPECT_TRUE(IsReplayFinished(handle));
    W32N_CloseAdapter(handle);
}

TEST(PacketDriver, ReplayCutsOversizedFramesToTheRecord) {
    test::TempDir dir;
    auto frame = MakeEthernetFrame(9000, 1);
    test::WritePcap(dir.File("big.pcap"), {{1, 0, frame}});
    PacketHandle handle = W32N_OpenAdapter(Replay(dir.File("big.pcap")).c_str());
    Ring ring(handle, 1);
    ASSERT_EQ(SetFilter(handle, ndis::kFilterDirectedPromiscuous), 0u);
    auto got = ring.Take();
    ASSERT_TRUE(got);
    EXPECT_EQ(got->captured, 1536u);
    EXPECT_EQ(got->original, 9000u);
    EXPECT_EQ(got->data, std::vector<uint8_t>(frame.begin(), frame.begin() + 1536));
    W32N_CloseAdapter(handle);
}

uint32_t Query(PacketHandle handle, uint32_t oid, void* buffer, uint32_t size) {
    NdisRequest request;
    request.oid = oid;
    request.buffer = buffer;
    request.bufferLength = size;
    return W32N_MakeNdisRequest(handle, request, nullptr, 1);
}

TEST(PacketDriver, RequestsAnswerTheReplayAdaptersFacts) {
    test::TempDir dir;
    test::WritePcap(dir.File("f.pcap"), NumberedFrames(1));
    PacketHandle handle =
        W32N_OpenAdapter(Replay(dir.File("f.pcap"), "mac=02:aa:bb:cc:dd:ee&speed=10000000000000").c_str());
    ASSERT_NE(handle, kInvalidPacketHandle);
    uint32_t word = 99;
    EXPECT_EQ(Query(handle, ndis::kOidMediumInUse, &word, 4), 0u);
    EXPECT_EQ(word, 0u);
    uint8_t address[32] = {};
    EXPECT_EQ(Query(handle, ndis::kOid8023CurrentAddress, address, sizeof address), 0u);
    EXPECT_EQ(std::vector<uint8_t>(address, address + 7),
              (std::vector<uint8_t>{2, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0}));
    EXPECT_EQ(Query(handle, ndis::kOidLinkSpeed, &word, 4), 0u);
    EXPECT_EQ(word, 0xFFFFFFFFu) << "100 bit/s units clamp at 32 bits";
    EXPECT_EQ(Query(handle, ndis::kOidMaximumTotalSize, &word, 4), 0u);
    EXPECT_EQ(word, 1514u);
    char vendor[80] = {};
    EXPECT_EQ(Query(handle, ndis::kOidVendorDescription, vendor, sizeof vendor), 0u);
    EXPECT_STREQ(vendor, "replay");

    const struct {
        uint32_t oid;
        uint32_t status;
    } refused[] = {{0x02010102, ndis::kStatusNotSupported},
                   {0x0901010C, ndis::kStatusNotSupported},
                   {0x00010101, ndis::kStatusInvalidOid},
                   {0x0001010E, ndis::kStatusNotSupported}};
    for (const auto& c : refused) {
        SCOPED_TRACE(c.oid);
        EXPECT_EQ(Query(handle, c.oid, address, sizeof address), c.status);
    }
    EXPECT_EQ(Query(handle, ndis::kOidLinkSpeed, &word, 2), ndis::kStatusBufferTooShort);
    EXPECT_EQ(SetFilter(handle, 1), ndis::kStatusNotSupported)
        << "only Ethernet's promiscuous filter is offered";
    EXPECT_EQ(W32N_CloseAdapter(handle), 0);

    EXPECT_EQ(Query(handle, ndis::kOidMediumInUse, &word, 4), ndis::kStatusAdapterNotOpen);
    EXPECT_EQ(Query(kInvalidPacketHandle, ndis::kOidMediumInUse, &word, 4), ndis::kStatusAdapterNotOpen);
    EXPECT_NE(W32N_CloseAdapter(handle), 0);
    EXPECT_EQ(W32N_GetLastError(), kErrorInvalidHandle);
}

TEST(PacketDriver, OpenFailuresLeaveTheReason) {
    test::TempDir dir;
    test::WritePcap(dir.File("f.pcap"), NumberedFrames(1));
    test::WritePcap(dir.File("null.pcap"), NumberedFrames(1), 0);
    test::WriteSnoop(dir.File("fddi.snoop"), {}, 8);
    std::ofstream(dir.File("junk.pcap")) << "not a capture file";
    const struct {
        std::string name;
        int error;
    } cases[] = {
        {"eth0", ENODEV},
        {Replay(dir.File("missing.pcap")), ENOENT},
        {Replay(dir.File("f.pcap"), "openfail"), EIO},
        {Replay(dir.File("f.pcap"), "pace=x"), ENODEV},
        {Replay(dir.File("null.pcap")), EINVAL},
        {Replay(dir.File("fddi.snoop")), EINVAL},
        {Replay(dir.File("junk.pcap")), EINVAL},
        {"\\Device\\vq-no-such-if0", ENODEV},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(W32N_OpenAdapter(c.name.c_str()), kInvalidPacketHandle);
        EXPECT_EQ(W32N_GetLastError(), c.error);
    }
}

TEST(PacketDriver, TruncatedFilesEndAtTheLastWholeRecord) {
    test::TempDir dir;
    test::WriteSnoop(dir.File("s.snoop"),
                     {{1, 0, MakeEthernetFrame(60, 1)}, {2, 0, MakeEthernetFrame(60, 2)}});
    std::filesystem::resize_file(dir.File("s.snoop"), std::filesystem::file_size(dir.File("s.snoop")) - 10);
    test::WritePcap(dir.File("p.pcap"), {{1, 0, MakeEthernetFrame(60, 1)}, {2, 0, MakeEthernetFrame(60, 2)}});
    std::filesystem::resize_file(dir.File("p.pcap"), std::filesystem::file_size(dir.File("p.pcap")) - 10);
    for (const char* name : {"s.snoop", "p.pcap"}) {
        SCOPED_TRACE(name);
        PacketHandle handle = W32N_OpenAdapter(Replay(dir.File(name)).c_str());
        ASSERT_NE(handle, kInvalidPacketHandle);
        Ring ring(handle, 2);
        ASSERT_EQ(SetFilter(handle, ndis::kFilterDirectedPromiscuous), 0u);
        ASSERT_TRUE(ring.Take());
        EXPECT_FALSE(ring.Take(100ms));
        EXPECT_TRUE(IsReplayFinished(handle));
        W32N_CloseAdapter(handle);
    }
}

TEST(PacketDriver, PacedReplayKeepsTheFilesOrderAndEnds) {
    test::TempDir dir;
    std::vector<TestFrame> frames;
    for (int i = 0; i < 5; ++i)
        frames.push_back({100, uint32_t(i * 10000), MakeEthernetFrame(60, i)});
    test::WritePcap(dir.File("f.pcap"), frames);
    // 10 ms gaps played ten times faster.
    PacketHandle handle = W32N_OpenAdapter(Replay(dir.File("f.pcap"), "pace=10").c_str());
    Ring ring(handle, 2);
    ASSERT_EQ(SetFilter(handle, ndis::kFilterDirectedPromiscuous), 0u);
    for (uint64_t i = 1; i <= 5; ++i)
        EXPECT_EQ(ring.Take()->sequence, i);
    EXPECT_TRUE(IsReplayFinished(handle));
    const int threadsOpen = ThreadsOfThisProcess();
    W32N_CloseAdapter(handle);
    EXPECT_EQ(ThreadsOfThisProcess(), threadsOpen - 1) << "a paced replay waits on a reader thread";
}

TEST(PacketDriver, RealCaptureFilesReplayWhole) {
    const std::string captures = vq::test::TestPath("VQ_CAPTURES_DIR") + "/tcpdump-tests/";
    for (const char* name : {"3560_CDP.pcap", "LLDP_and_CDP.pcap", "802.1ad_QinQ.pcap"}) {
        SCOPED_TRACE(name);
        char error[PCAP_ERRBUF_SIZE];
        pcap_t* reference = pcap_open_offline((captures + name).c_str(), error);
        ASSERT_TRUE(reference) << error;
        std::vector<std::pair<uint32_t, uint32_t>> lengths;
        pcap_pkthdr* header;
        const u_char* data;
        while (pcap_next_ex(reference, &header, &data) == 1)
            lengths.emplace_back(header->caplen, header->len);
        pcap_close(reference);

        PacketHandle handle = W32N_OpenAdapter(Replay(captures + name).c_str());
        ASSERT_NE(handle, kInvalidPacketHandle);
        Ring ring(handle, 8);
        ASSERT_EQ(SetFilter(handle, ndis::kFilterDirectedPromiscuous), 0u);
        for (size_t i = 0; i < lengths.size(); ++i) {
            auto got = ring.Take();
            ASSERT_TRUE(got);
            EXPECT_EQ(got->sequence, i + 1);
            EXPECT_EQ(got->captured, std::min<uint32_t>(lengths[i].first, 1536));
            EXPECT_EQ(got->original, lengths[i].second);
        }
        EXPECT_TRUE(IsReplayFinished(handle));
        W32N_CloseAdapter(handle);
    }
}

} // namespace
} // namespace vq

#include "capture/Adapter.h"
#include "capture/AdapterSet.h"
#include "capture/PacketDump.h"
#include "capture/RecvChannel.h"
#include "platform/packet/CaptureFileReader.h"
#include "runtime/GlobalState.h"
#include "tests/capture/CaptureTestSupport.h"

#include <gtest/gtest.h>
#include <thread>

namespace vq {
namespace {

using namespace std::chrono_literals;
using test::AdapterListScope;
using test::RecordingReports;
using test::RecordingSink;
using test::ReplayName;

std::vector<test::TestFrame> Frames(int count, size_t size = 60) {
    std::vector<test::TestFrame> frames;
    for (int i = 0; i < count; ++i)
        frames.push_back({uint32_t(100 + i), 0, test::MakeEthernetFrame(size, i)});
    return frames;
}

std::vector<uint32_t> LostCounts(const std::vector<test::SeenFrame>& frames) {
    std::vector<uint32_t> lost;
    for (const auto& frame : frames)
        lost.push_back(frame.lost);
    return lost;
}

TEST(ReceiveRing, LostCountsFollowTheDriversSequence) {
    test::TempDir dir;
    test::WritePcap(dir.File("f.pcap"), Frames(8));
    std::vector<test::TestFrame> snoop = Frames(5);
    const uint32_t drops[] = {4, 4, 6, 6, 11}; // the first frame's drops are before capture began
    for (size_t i = 0; i < snoop.size(); ++i)
        snoop[i].drops = drops[i];
    test::WriteSnoop(dir.File("s.snoop"), snoop);
    AdapterListScope scope(
        {ReplayName(dir.File("f.pcap"), "gap=3:3&dup=5&back=7:2"), ReplayName(dir.File("s.snoop"))});
    RecordingReports reports;
    RecordingSink sink;
    AdapterSet set(48, reports, &sink);
    ASSERT_EQ(set.GetSize(), 2);
    set.Start({});
    test::ServiceUntil(set, [&] { return sink.frames.size() == 13; });
    // Sequences 1 2 6 7 7 8 7 8: a gap of 3, a repeat and a step back count.
    EXPECT_EQ(LostCounts(sink.For(0)), (std::vector<uint32_t>{0, 0, 3, 0, 1, 0, 2, 0}));
    EXPECT_EQ(set.GetAdapter(0)->GetChannel()->GetLostTotal(), 6u);
    // Sequences 5 6 9 10 16: rises of the drop count go into the sequence.
    EXPECT_EQ(LostCounts(sink.For(1)), (std::vector<uint32_t>{0, 0, 2, 0, 5}));
    EXPECT_TRUE(set.IsReplayFinished());
}

TEST(ReceiveRing, TwoAdaptersUnderPressureLoseNothingAndSurviveABadStatus) {
    test::TempDir dir;
    test::WritePcap(dir.File("a.pcap"), Frames(400, 80));
    test::WritePcap(dir.File("b.pcap"), Frames(700, 120));
    AdapterListScope scope({ReplayName(dir.File("a.pcap"), "speed=10000000&status=17:C0010005"),
                            ReplayName(dir.File("b.pcap"), "speed=100000000")});
    RecordingReports reports;
    RecordingSink sink;
    AdapterSet set(48, reports, &sink);
    ASSERT_EQ(set.GetSize(), 2);
    ASSERT_EQ(set.GetAdapter(0)->GetSlotCount(), 5);
    ASSERT_EQ(set.GetAdapter(1)->GetSlotCount(), 43);
    ASSERT_TRUE(set.Start({}));
    EXPECT_TRUE(set.IsReceiving());
    // Let every posted read complete before the first service.
    for (int i = 0; i < 2; ++i) {
        auto* channel = set.GetAdapter(i)->GetChannel();
        for (uint32_t b = 0; b < channel->GetBufferCount(); ++b)
            while (!channel->BufferReady(b))
                std::this_thread::sleep_for(1ms);
    }
    test::ServiceUntil(set, [&] { return set.IsReplayFinished() && sink.frames.size() == 1099; });

    auto first = sink.For(0);
    auto second = sink.For(1);
    ASSERT_EQ(first.size(), 399u) << "the frame with a bad status stays out";
    ASSERT_EQ(second.size(), 700u);
    for (size_t i = 0; i < second.size(); ++i) {
        EXPECT_EQ(second[i].sequence, i + 1);
        EXPECT_EQ(second[i].lost, 0u);
    }
    uint64_t expected = 1;
    for (const auto& frame : first) {
        if (expected == 17) ++expected;
        EXPECT_EQ(frame.sequence, expected++);
    }
    EXPECT_EQ(reports.Count("event buffer:"), 1);
    EXPECT_EQ(reports.Find("event buffer:")->className, "WD_RecvChannel");
    EXPECT_EQ(set.GetAdapter(0)->GetChannel()->GetFramesReceived(), 400u);
    EXPECT_EQ(set.GetAdapter(0)->GetChannel()->GetBadFrames(), 1u);
}

TEST(ReceiveRing, PausedAdaptersDeliverNothingAndLoseNothing) {
    test::TempDir dir;
    test::WritePcap(dir.File("f.pcap"), Frames(500));
    AdapterListScope scope({ReplayName(dir.File("f.pcap"))});
    RecordingReports reports;
    RecordingSink sink;
    AdapterSet set(48, reports, &sink);
    Adapter& adapter = *set.GetAdapter(0);
    EXPECT_EQ(WD_Adapter(&set, AdapterInfo()).GetInfo().state, AdapterInfo::kCreated);
    EXPECT_EQ(adapter.GetInfo().state, AdapterInfo::kOpen);
    EXPECT_FALSE(TheGlobalState().m_CaptureActive);
    set.Start({});
    EXPECT_EQ(adapter.GetInfo().state, AdapterInfo::kCapturing);
    EXPECT_TRUE(TheGlobalState().m_CaptureActive);
    test::ServiceUntil(set, [&] { return sink.frames.size() >= 10; });

    set.Pause({});
    EXPECT_EQ(adapter.GetInfo().state, AdapterInfo::kPaused);
    EXPECT_FALSE(TheGlobalState().m_CaptureActive);
    // Reads filled before the pause are taken; then nothing comes.
    test::ServiceUntil(
        set, [] { return false; }, 200);
    size_t beforeResume = sink.frames.size();
    EXPECT_LT(beforeResume, 500u);

    set.Resume({});
    EXPECT_EQ(adapter.GetInfo().state, AdapterInfo::kCapturing);
    EXPECT_TRUE(TheGlobalState().m_CaptureActive);
    test::ServiceUntil(set, [&] { return sink.frames.size() == 500; });
    ASSERT_EQ(sink.frames.size(), 500u);
    for (size_t i = 0; i < sink.frames.size(); ++i) {
        EXPECT_EQ(sink.frames[i].sequence, i + 1);
        EXPECT_EQ(sink.frames[i].lost, 0u);
    }
    set.Stop({});
    EXPECT_EQ(adapter.GetInfo().state, AdapterInfo::kStopped);
    EXPECT_FALSE(set.IsReceiving());
    set.CloseAll();
    EXPECT_EQ(adapter.GetInfo().state, AdapterInfo::kClosed);
}

TEST(ReceiveRing, OversizedFramesArriveCutAndCounted) {
    test::TempDir dir;
    test::WritePcap(dir.File("big.pcap"), {{1, 0, test::MakeEthernetFrame(9000, 1)}});
    AdapterListScope scope({ReplayName(dir.File("big.pcap"))});
    RecordingReports reports;
    RecordingSink sink;
    AdapterSet set(48, reports, &sink);
    set.Start({});
    test::ServiceUntil(set, [&] { return !sink.frames.empty(); });
    ASSERT_EQ(sink.frames.size(), 1u);
    EXPECT_EQ(sink.frames[0].length, 1536u);
    EXPECT_EQ(sink.frames[0].frameLength, 9004);
    EXPECT_EQ(set.GetAdapter(0)->GetChannel()->GetCutFrames(), 1u);
}

class FileSettings : public CaptureSettings {
public:
    explicit FileSettings(std::string path) : path_(std::move(path)) {}
    std::string GetCaptureFile(const std::string& adapterAddress) const override {
        return adapterAddress == "02:00:00:00:00:09" ? path_ : "";
    }
    bool GetFixedLength() const override { return false; }
    uint32_t GetMaximumSize() const override { return 0; }
    uint32_t GetRecordLength() const override { return 0; }

private:
    std::string path_;
};

TEST(ReceiveRing, CapturingAdaptersWriteTheirFramesToTheirFile) {
    test::TempDir dir;
    auto frames = Frames(20, 90);
    test::WritePcap(dir.File("f.pcap"), frames);
    AdapterListScope scope(
        {ReplayName(dir.File("f.pcap"), "mac=02:00:00:00:00:09"), ReplayName(dir.File("f.pcap"))});
    RecordingReports reports;
    RecordingSink sink;
    FileSettings settings(dir.File("out.snoop"));
    AdapterSet set(48, reports, &sink);
    set.SetCaptureSettings(&settings);
    EXPECT_FALSE(set.StartCaptureOne(0)) << "only a capturing adapter opens its file";
    set.Start({});
    set.StartCapture({});
    EXPECT_TRUE(set.GetAdapter(0)->GetChannel()->GetCaptureFile()->IsOpen());
    EXPECT_FALSE(set.GetAdapter(1)->GetChannel()->GetCaptureFile()->IsOpen()) << "no file for its address";
    test::ServiceUntil(set, [&] { return sink.frames.size() == 40; });
    set.StopCapture({});

    auto reader = CaptureFileReader::Open(dir.File("out.snoop"));
    RecordedFrame frame;
    size_t count = 0;
    while (reader->Next(frame)) {
        ASSERT_LT(count, frames.size());
        EXPECT_EQ(std::vector<uint8_t>(frame.data, frame.data + frame.capturedLength), frames[count].data);
        ++count;
    }
    EXPECT_EQ(count, frames.size());
}

} // namespace
} // namespace vq

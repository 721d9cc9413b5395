#include "CaptureFileReader.h"
#include "Decoded.h"
#include "tests/support/TestPaths.h"

#include <cctype>
#include <gtest/gtest.h>
#include <sanitizer/asan_interface.h>

namespace vq::test {
namespace {

const std::string kCorpus = vq::test::TestPath("VQ_CAPTURES_DIR") + "/tcpdump-tests";

// A frame in a heap block of exactly its size, decoded again and again with ever shorter
// captured lengths. The bytes past the captured length are poisoned, so AddressSanitizer reports
// any read of them without copying the frame for every length.
class Prefixes {
public:
    explicit Prefixes(const Bytes& frame) : size_(frame.size()), block_(new uint8_t[frame.size() + !size_]) {
        std::copy(frame.begin(), frame.end(), block_.get());
    }
    ~Prefixes() { ASAN_UNPOISON_MEMORY_REGION(block_.get(), size_); }

    std::unique_ptr<Packet> Decode(size_t length, FakeAdapter& adapter) {
        ASAN_POISON_MEMORY_REGION(block_.get() + length, size_ - length);
        auto packet = std::make_unique<Packet>(block_.get(), uint32_t(length), adapter, 0, Timestamp(), 1,
                                               uint32_t(size_));
        packet->Decode();
        return packet;
    }

private:
    size_t size_;
    std::unique_ptr<uint8_t[]> block_;
};

std::string SourceText(const GenericPacket& layer) {
    if (auto dataLink = dynamic_cast<const DataLinkPacket*>(&layer)) return dataLink->GetSourceText();
    if (auto network = dynamic_cast<const NetworkPacket*>(&layer)) return network->GetSourceText();
    return "";
}

std::string DestinationText(const GenericPacket& layer) {
    if (auto dataLink = dynamic_cast<const DataLinkPacket*>(&layer)) return dataLink->GetDestinationText();
    if (auto network = dynamic_cast<const NetworkPacket*>(&layer)) return network->GetDestinationText();
    return "";
}

const void* SourceAddress(const GenericPacket& layer) {
    if (auto dataLink = dynamic_cast<const DataLinkPacket*>(&layer)) return dataLink->GetSourceAddress();
    if (auto network = dynamic_cast<const NetworkPacket*>(&layer)) return network->GetSourceAddress();
    return nullptr;
}

// What the whole frame decodes to: each layer's identifier and addresses.
struct Expected {
    uint16_t protocol[LayerApplication + 1] = {};
    std::string source[LayerNetwork + 1];
    std::string destination[LayerNetwork + 1];

    explicit Expected(const Packet& whole) {
        for (int32_t kind = LayerDataLink; kind <= LayerApplication; ++kind) {
            const GenericPacket& layer = *whole.GetLayer(kind);
            protocol[kind] = layer.GetProtocol();
            if (kind > LayerNetwork) continue;
            source[kind] = SourceText(layer);
            destination[kind] = DestinationText(layer);
        }
    }
};

// Layers below the first cut one decode as in the whole frame; the cut layer keeps its
// identifier and has its addresses only when they were captured; the packet is short.
void ExpectPrefixAgrees(const Expected& whole, const Packet& prefix) {
    for (int32_t kind = LayerDataLink; kind <= LayerApplication; ++kind) {
        SCOPED_TRACE(kind);
        const GenericPacket& part = *prefix.GetLayer(kind);
        ASSERT_EQ(part.GetProtocol(), whole.protocol[kind]);
        if (part.IsCut()) {
            EXPECT_TRUE(prefix.IsShort());
            if (SourceAddress(part)) {
                EXPECT_EQ(SourceText(part), whole.source[kind]);
            }
            return;
        }
        if (kind > LayerNetwork) continue;
        ASSERT_EQ(SourceText(part), whole.source[kind]);
        ASSERT_EQ(DestinationText(part), whole.destination[kind]);
    }
}

TEST(CorpusTest, EveryFrameDecodesWithinItsCapturedBytes) {
    auto files = CaptureFilesIn(kCorpus);
    ASSERT_GT(files.size(), 100u);
    size_t frames = 0, bytes = 0, shortFrames = 0;
    for (const auto& file : files) {
        SCOPED_TRACE(file);
        std::vector<CapturedFrame> captured;
        try {
            captured = CaptureFileReader::ReadAll(file);
        } catch (const std::exception& error) {
            ADD_FAILURE() << error.what();
            continue;
        }
        for (const auto& frame : captured) {
            Decoded packet(frame.bytes);
            ++frames;
            bytes += frame.bytes.size();
            shortFrames += packet->IsShort();
            EXPECT_LE(packet->GetSession()->GetPayloadOffset(), frame.bytes.size());
        }
    }
    EXPECT_GT(frames, 1000u);
    RecordProperty("frames", int(frames));
    RecordProperty("bytes", int(bytes));
    RecordProperty("short", int(shortFrames));
}

class CorpusPrefixTest : public ::testing::TestWithParam<std::string> {};

TEST_P(CorpusPrefixTest, EveryPrefixOfEveryFrameDecodesLikeTheWholeFrameAsFarAsItGoes) {
    FakeAdapter adapter;
    std::vector<CapturedFrame> captured;
    try {
        captured = CaptureFileReader::ReadAll(GetParam());
    } catch (const std::exception& error) {
        GTEST_SKIP() << error.what();
    }
    for (size_t index = 0; index < captured.size(); ++index) {
        const Bytes& frame = captured[index].bytes;
        Prefixes prefixes(frame);
        Expected whole(*prefixes.Decode(frame.size(), adapter));
        for (size_t length = frame.size(); length-- > 0;) {
            auto prefix = prefixes.Decode(length, adapter);
            ExpectPrefixAgrees(whole, *prefix);
            if (HasFailure()) {
                ADD_FAILURE() << "frame " << index + 1 << " cut to " << length << " bytes";
                return;
            }
        }
    }
}

std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = std::to_string(info.index) + "_";
    for (char c : info.param.substr(info.param.rfind('/') + 1))
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(TcpdumpTests, CorpusPrefixTest, ::testing::ValuesIn(CaptureFilesIn(kCorpus)),
                         TestName);

} // namespace
} // namespace vq::test

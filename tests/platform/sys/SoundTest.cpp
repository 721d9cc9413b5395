#include "platform/sys/Sound.h"

#include "platform/sys/WaveFile.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace vq {
namespace {

std::vector<std::uint8_t> Wave(std::uint16_t format, std::uint16_t channels, std::uint32_t rate,
                               std::uint16_t bits, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> out;
    const auto put32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back(std::uint8_t(v >> (8 * i)));
    };
    const auto put16 = [&](std::uint16_t v) {
        out.push_back(std::uint8_t(v));
        out.push_back(std::uint8_t(v >> 8));
    };
    const auto tag = [&](const char* t) {
        for (int i = 0; i < 4; ++i)
            out.push_back(std::uint8_t(t[i]));
    };
    tag("RIFF");
    put32(std::uint32_t(4 + 8 + 16 + 8 + 8 + data.size()));
    tag("WAVE");
    tag("LIST");
    put32(3);
    out.insert(out.end(), {'a', 'b', 'c', 0});
    tag("fmt ");
    put32(16);
    put16(format);
    put16(channels);
    put32(rate);
    put32(rate * channels * bits / 8);
    put16(std::uint16_t(channels * bits / 8));
    put16(bits);
    tag("data");
    put32(std::uint32_t(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(WaveFile, ReadsPcmAndRefusesEverythingElse) {
    std::vector<std::uint8_t> samples;
    for (int i = 0; i < 400; ++i)
        samples.push_back(std::uint8_t(i * 7));
    const auto stereo = ReadWave(Wave(1, 2, 22050, 16, samples));
    ASSERT_TRUE(stereo);
    EXPECT_EQ(stereo->channels, 2);
    EXPECT_EQ(stereo->rate, 22050u);
    EXPECT_EQ(stereo->bits, 16);
    EXPECT_EQ(stereo->data, samples) << "the odd-sized chunk before is skipped with its pad byte";

    const auto whole = Wave(1, 1, 8000, 8, samples);
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
    } refused[] = {
        {"truncated data", {whole.begin(), whole.end() - 1}},
        {"truncated header", {whole.begin(), whole.begin() + 20}},
        {"not PCM", Wave(3, 1, 8000, 8, samples)},
        {"24 bits", Wave(1, 1, 8000, 24, samples)},
        {"three channels", Wave(1, 3, 8000, 8, samples)},
        {"rate 0", Wave(1, 1, 0, 8, samples)},
        {"empty", {}},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(ReadWave(c.bytes));
    }
}

TEST(Sound, TheDeviceGetsTheDataChunkAndBadFilesPlayNothing) {
    test::TempDir dir;
    std::vector<std::uint8_t> samples;
    for (int i = 0; i < 8000; ++i)
        samples.push_back(std::uint8_t(i % 251));
    const std::string wave = dir.File("chime.wav");
    const auto bytes = Wave(1, 2, 8000, 16, samples);
    std::ofstream(wave, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    const std::string raw = dir.File("out.raw");
    SetSoundDevice("file:'" + raw + "',raw");
    PlaySoundFile(wave);
    WaitForSound();
    EXPECT_EQ(Read(raw), std::string(samples.begin(), samples.end()));

    std::filesystem::remove(raw);
    const std::string truncated = dir.File("short.wav");
    std::ofstream(truncated, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), 100);
    const std::string other = dir.File("float.wav");
    const auto floats = Wave(3, 1, 8000, 16, samples);
    std::ofstream(other, std::ios::binary)
        .write(reinterpret_cast<const char*>(floats.data()), std::streamsize(floats.size()));
    for (const std::string& path : {truncated, other, dir.File("missing.wav")}) {
        PlaySoundFile(path);
        WaitForSound();
        EXPECT_FALSE(std::filesystem::exists(raw)) << path;
    }
    SetSoundDevice("default");
}

} // namespace
} // namespace vq

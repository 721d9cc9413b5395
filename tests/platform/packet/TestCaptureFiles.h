#pragma once

// Writers of small capture files and a wait for one event for the packet tests.

#include "platform/thread/Event.h"
#include "platform/thread/MessageQueue.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace vq::test {

struct TestFrame {
    uint32_t seconds = 0;
    uint32_t fraction = 0; // microseconds (snoop, pcap) or nanoseconds (pcap with nano)
    std::vector<uint8_t> data;
    uint32_t originalLength = 0; // 0: the data's size
    uint32_t drops = 0;          // snoop: cumulative drops
    uint32_t pad = 0;            // snoop: bytes after the data
};

// An Ethernet frame of `size` bytes with the given addresses, type 0x88B5 and `marker` in the payload.
inline std::vector<uint8_t> MakeEthernetFrame(size_t size, uint32_t marker,
                                              const uint8_t* destination = nullptr,
                                              const uint8_t* source = nullptr) {
    std::vector<uint8_t> frame(size < 18 ? 18 : size, 0);
    for (int i = 0; i < 6; ++i) {
        frame[i] = destination ? destination[i] : 0xFF;
        frame[6 + i] = source ? source[i] : uint8_t(0x02 + i);
    }
    frame[12] = 0x88;
    frame[13] = 0xB5;
    for (int i = 0; i < 4; ++i)
        frame[14 + i] = uint8_t(marker >> (24 - 8 * i));
    for (size_t i = 18; i < frame.size(); ++i)
        frame[i] = uint8_t(i);
    return frame;
}

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vq-test-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline void Put32(std::ofstream& out, uint32_t value, bool bigEndian) {
    uint8_t bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = uint8_t(bigEndian ? value >> (24 - 8 * i) : value >> (8 * i));
    out.write(reinterpret_cast<const char*>(bytes), 4);
}

inline void Put16(std::ofstream& out, uint16_t value) {
    uint8_t bytes[2] = {uint8_t(value), uint8_t(value >> 8)};
    out.write(reinterpret_cast<const char*>(bytes), 2);
}

inline void WritePcap(const std::string& path, const std::vector<TestFrame>& frames, uint32_t linkType = 1,
                      bool nanoseconds = false) {
    std::ofstream out(path, std::ios::binary);
    Put32(out, nanoseconds ? 0xA1B23C4D : 0xA1B2C3D4, false);
    Put16(out, 2);
    Put16(out, 4);
    Put32(out, 0, false);
    Put32(out, 0, false);
    Put32(out, 65535, false);
    Put32(out, linkType, false);
    for (const auto& frame : frames) {
        Put32(out, frame.seconds, false);
        Put32(out, frame.fraction, false);
        Put32(out, uint32_t(frame.data.size()), false);
        Put32(out, frame.originalLength ? frame.originalLength : uint32_t(frame.data.size()), false);
        out.write(reinterpret_cast<const char*>(frame.data.data()), std::streamsize(frame.data.size()));
    }
}

inline void WriteSnoop(const std::string& path, const std::vector<TestFrame>& frames, uint32_t linkType = 4) {
    std::ofstream out(path, std::ios::binary);
    out.write("snoop\0\0\0", 8);
    Put32(out, 2, true);
    Put32(out, linkType, true);
    for (const auto& frame : frames) {
        uint32_t size = uint32_t(frame.data.size());
        Put32(out, frame.originalLength ? frame.originalLength : size, true);
        Put32(out, size, true);
        Put32(out, 24 + size + frame.pad, true);
        Put32(out, frame.drops, true);
        Put32(out, frame.seconds, true);
        Put32(out, frame.fraction, true);
        out.write(reinterpret_cast<const char*>(frame.data.data()), std::streamsize(size));
        for (uint32_t i = 0; i < frame.pad; ++i)
            out.put('\xEE');
    }
}

// Waits on the calling thread's queue for one event; false when it stays unset.
inline bool WaitFor(Event& event, std::chrono::milliseconds timeout) {
    Event* events[] = {&event};
    return MessageQueue::Current().Wait(events, uint32_t(timeout.count())).kind == WaitResult::Kind::Event;
}

} // namespace vq::test

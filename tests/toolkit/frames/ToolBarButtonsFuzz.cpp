// Feeds arbitrary bytes to a custom tool bar's saved state, as a "Buttons" value and as its archive
// record: parsing must read only whole records and build the same bytes back, and loading must
// either read a record that stores to the same bytes or raise the archive error.

#include "platform/core/Archive.h"
#include "platform/core/Exceptions.h"
#include "toolkit/frames/TkCustomToolBarInfoEx.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void ParseAndBuild(const std::uint8_t* data, std::size_t size) {
    vq::TkBtnInfoArray buttons;
    vq::TkCustomToolBarInfoEx::ParseButtonData(data, size, buttons);
    const std::vector<std::uint8_t> built = vq::TkCustomToolBarInfoEx::BuildButtonData(buttons);
    Check(built.size() <= size);
    Check(std::equal(built.begin(), built.end(), data));
}

void LoadAndStore(const std::uint8_t* data, std::size_t size) {
    vq::ArchiveReader reader(std::span<const vq::u8>(data, size));
    vq::TkCustomToolBarInfoEx record;
    try {
        record.Load(reader, nullptr);
    } catch (const vq::ArchiveException&) {
        return;
    }
    vq::ArchiveWriter writer;
    record.Store(writer, nullptr);
    const std::size_t read = size - reader.Remaining();
    Check(writer.Data().size() <= read);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ParseAndBuild(data, size);
    LoadAndStore(data, size);
    return 0;
}

// Feeds arbitrary bytes to the BMP reader, through a file and through an archive, and checks that a
// picture it accepts is whole: rows for its size, a header that agrees, and a save that reads back.

#include "toolkit/controls/TkRasterImage.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void CheckWhole(const vq::TkDib& dib) {
    Check(dib.GetWidth() > 0 && dib.GetHeight() > 0);
    Check(dib.GetBits().size() ==
          vq::TkRasterImage::AlignedRowSize(dib.GetDepth(), dib.GetWidth()) * dib.GetHeight());
    Check(dib.GetHeader().biWidth == dib.GetWidth() && dib.GetHeader().biHeight == dib.GetHeight());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int descriptor = memfd_create("bmp", MFD_CLOEXEC);
    if (descriptor < 0 || write(descriptor, data, size) != ssize_t(size)) std::abort();
    const std::string path = "/proc/self/fd/" + std::to_string(descriptor);
    vq::TkDib dib;
    if (dib.LoadImage(path)) {
        CheckWhole(dib);
        vq::ArchiveWriter writer;
        dib.Serialize(writer);
        vq::TkDib copy;
        vq::ArchiveReader reader(writer.Data());
        Check(copy.Serialize(reader));
        Check(copy.GetBits() == dib.GetBits());
    }
    vq::ArchiveReader reader(std::span(data, size));
    vq::TkDib fromArchive;
    if (fromArchive.Serialize(reader)) CheckWhole(fromArchive);
    close(descriptor);
    return 0;
}

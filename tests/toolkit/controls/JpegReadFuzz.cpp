// Feeds arbitrary bytes to the JPEG decoder through a file, on a true-colour and on a palette
// screen, and checks that a picture it accepts is whole and saves again.

#include "platform/gui/Palette.h"
#include "toolkit/controls/TkJpeg.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int descriptor = memfd_create("jpeg", MFD_CLOEXEC);
    if (descriptor < 0 || write(descriptor, data, size) != ssize_t(size)) std::abort();
    const std::string path = "/proc/self/fd/" + std::to_string(descriptor);
    for (bool palette : {false, true}) {
        vq::SetPaletteScreen(palette);
        vq::TkJpeg jpeg;
        if (!jpeg.LoadImage(path)) continue;
        Check(jpeg.GetWidth() > 0 && jpeg.GetHeight() > 0);
        Check(jpeg.GetBits().size() == vq::TkRasterImage::AlignedRowSize(jpeg.GetDepth(), jpeg.GetWidth()) *
                                           std::size_t(jpeg.GetHeight()));
        Check(jpeg.GetColourTableSize() == (palette ? 256u : 0u));
    }
    vq::SetPaletteScreen(false);
    close(descriptor);
    return 0;
}

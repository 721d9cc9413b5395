// Copies and fills of a window-sized picture: between colour bitmaps, as every paint through an
// off-screen context does, and out of and into DIB sections.

#include "platform/gui/Gdi.h"

#include <benchmark/benchmark.h>

namespace {

using namespace vq;

constexpr std::int32_t kWidth = 800;
constexpr std::int32_t kHeight = 600;

// A memory context with its bitmap selected; the bitmap goes with it.
class Surface {
public:
    explicit Surface(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr)), bitmap_(bitmap) {
        old_ = SelectObject(dc_, bitmap_);
    }
    ~Surface() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC Dc() const { return dc_; }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

HBITMAP Colour() {
    return CreateBitmap(kWidth, kHeight, 1, 32, nullptr);
}

HBITMAP Section(int bits) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = kWidth;
    info.header.biHeight = kHeight;
    info.header.biPlanes = 1;
    info.header.biBitCount = std::uint16_t(bits);
    for (int i = 0; i < 256; ++i)
        info.colours[i] = {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 7), 0};
    return CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, nullptr,
                            nullptr, 0);
}

void Copy(benchmark::State& state, HBITMAP from, HBITMAP to) {
    Surface source(from);
    Surface target(to);
    for (auto _ : state)
        BitBlt(target.Dc(), 0, 0, kWidth, kHeight, source.Dc(), 0, 0, SRCCOPY);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_BlitColourToColour(benchmark::State& state) {
    Copy(state, Colour(), Colour());
}
BENCHMARK(BM_BlitColourToColour);

void BM_BlitSectionToColour(benchmark::State& state) {
    Copy(state, Section(int(state.range(0))), Colour());
}
BENCHMARK(BM_BlitSectionToColour)->Arg(8)->Arg(24)->Arg(32);

void BM_BlitColourToSection(benchmark::State& state) {
    Copy(state, Colour(), Section(int(state.range(0))));
}
BENCHMARK(BM_BlitColourToSection)->Arg(8)->Arg(24)->Arg(32);

void BM_FillColour(benchmark::State& state) {
    Surface target(Colour());
    HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
    const RECT all{0, 0, kWidth, kHeight};
    for (auto _ : state)
        FillRect(target.Dc(), &all, brush);
    DeleteObject(brush);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_FillColour);

} // namespace

BENCHMARK_MAIN();

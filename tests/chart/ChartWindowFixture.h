#pragma once

#include "platform/gui/OffscreenHarness.h"
#include "WindowFixture.h"
#include "chart/Chart.h"

#include <cstdint>

namespace vq::test {

// A pop-up window whose paint draws the chart's components, for tests that read its pixels.
template <typename ChartType>
class BasicChartWindowFixture : public WindowTest {
protected:
    void OpenFrame(RECT area) {
        hook = [this](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
            if (h != frame || m != WM_PAINT) return false;
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(h, &ps);
            chart.DrawComponentList(dc, h);
            EndPaint(h, &ps);
            return true;
        };
        frame = Make("Spy", WS_POPUP | WS_VISIBLE, area);
    }

    void Repaint() {
        InvalidateRect(frame, nullptr, TRUE);
        OffscreenHarness::RunUntilIdle();
    }

    COLORREF At(std::int32_t x, std::int32_t y) { return OffscreenHarness::Pixel(frame, x, y); }

    ChartType chart;
    HWND frame = 0;
};

class ChartWindowFixture : public BasicChartWindowFixture<Chart> {};

} // namespace vq::test

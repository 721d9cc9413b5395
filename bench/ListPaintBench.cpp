// Painting and scrolling the toolkit list: after the first layout, the cost of a paint or a scroll
// step should not grow with the number of rows.
#include "platform/gui/Gdi.h"
#include "platform/gui/Messages.h"
#include "toolkit/lists/TkListCtrl.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>

namespace vq {
namespace {

struct Fixture {
    CWnd parent;
    TkListCtrl list;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(400, 300, 1, 32, nullptr);

    Fixture(int rows, int columns) {
        SelectObject(dc, bitmap);
        parent.CreateEx(0, nullptr, "", WS_POPUP, RECT{0, 0, 420, 320}, nullptr, 0);
        list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, RECT{0, 0, 400, 300}, &parent, 1);
        list.AddColumn("Name", LVCFMT_LEFT, 160, -1, -1);
        for (int c = 1; c < columns; ++c)
            list.AddColumn("Value", LVCFMT_RIGHT, 100, -1, -1);
        for (int i = 0; i < rows; ++i) {
            const std::string text = "row " + std::to_string(i);
            list.InsertItem(i, text.c_str());
            for (int c = 1; c < columns; ++c)
                list.SetItemText(i, c, text.c_str());
        }
        list.UpdateLayout();
        list.Paint(dc);
    }
    ~Fixture() {
        list.DestroyWindow();
        parent.DestroyWindow();
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
};

void BM_Paint(benchmark::State& state) {
    Fixture f(int(state.range(0)), int(state.range(1)));
    for (auto _ : state)
        f.list.Paint(f.dc);
}

// One scroll step of each kind and the paint after it.
void BM_Scroll(benchmark::State& state) {
    Fixture f(int(state.range(0)), int(state.range(1)));
    const auto step = [&](WPARAM code) {
        f.list.SendMessage(WM_VSCROLL, code, 0);
        f.list.Paint(f.dc);
    };
    for (auto _ : state) {
        step(SB_LINEDOWN);
        step(SB_PAGEDOWN);
        f.list.SetTopIndex(f.list.GetItemCount() / 2);
        f.list.Paint(f.dc);
        step(SB_BOTTOM);
        step(SB_TOP);
    }
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (int rows : {1000, 10000, 100000})
        for (int columns : {3, 1})
            b->Args({rows, columns});
}

BENCHMARK(BM_Paint)->Apply(Sizes);
BENCHMARK(BM_Scroll)->Apply(Sizes);

} // namespace
} // namespace vq

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The toolkit tree: inserting in pre-order should grow with the number of items, and painting,
// scrolling and opening one parent should not grow with the items elsewhere in the tree.
#include "platform/gui/Gdi.h"
#include "platform/gui/Messages.h"
#include "toolkit/lists/TkTreeCtrl.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <string>

namespace vq {
namespace {

constexpr int Parents = 100;

struct Fixture {
    CWnd parent;
    TkTreeCtrl tree;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(400, 300, 1, 32, nullptr);
    HTREEITEM middle = nullptr;

    Fixture() {
        SelectObject(dc, bitmap);
        parent.CreateEx(0, nullptr, "", WS_POPUP, RECT{0, 0, 420, 320}, nullptr, 0);
        tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT,
                    RECT{0, 0, 400, 300}, &parent, 1);
    }
    // Parents expanded before their children go in, so every child gets its row as it comes.
    void Fill(int children) {
        for (int p = 0; p < Parents; ++p) {
            TVINSERTSTRUCT record;
            record.hParent = TVI_ROOT;
            record.hInsertAfter = TVI_LAST;
            const std::string name = "parent " + std::to_string(p);
            record.item.mask = TVIF_TEXT | TVIF_STATE;
            record.item.pszText = const_cast<char*>(name.c_str());
            record.item.state = record.item.stateMask = TVIS_EXPANDED;
            HTREEITEM parentItem = tree.InsertItem(&record);
            if (p == Parents / 2) middle = parentItem;
            for (int c = 0; c < children; ++c)
                tree.InsertItem(("child " + std::to_string(c)).c_str(), parentItem, TVI_LAST);
        }
        tree.UpdateLayout();
    }
    ~Fixture() {
        tree.DestroyWindow();
        parent.DestroyWindow();
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
};

void BM_InsertPreOrder(benchmark::State& state) {
    for (auto _ : state) {
        Fixture f;
        f.Fill(int(state.range(0)));
        benchmark::DoNotOptimize(f.tree.GetItemCount());
        state.PauseTiming();
        f.tree.DeleteItem(TVI_ROOT);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * Parents * (state.range(0) + 1));
}

void BM_Paint(benchmark::State& state) {
    Fixture f;
    f.Fill(int(state.range(0)));
    f.tree.Paint(f.dc);
    for (auto _ : state)
        f.tree.Paint(f.dc);
}

// Wrapped labels spare the list its search for the widest label of every row.
void BM_PaintWrapped(benchmark::State& state) {
    Fixture f;
    f.tree.ModifyTreeExStyle(0, TreeExLabelWrap, FALSE);
    f.Fill(int(state.range(0)));
    f.tree.Paint(f.dc);
    for (auto _ : state)
        f.tree.Paint(f.dc);
}

void BM_ScrollStep(benchmark::State& state) {
    Fixture f;
    f.Fill(int(state.range(0)));
    f.tree.Paint(f.dc);
    for (auto _ : state) {
        f.tree.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
        f.tree.Paint(f.dc);
        f.tree.SendMessage(WM_VSCROLL, SB_PAGEUP, 0);
        f.tree.Paint(f.dc);
    }
}

void BM_CollapseExpandMiddle(benchmark::State& state) {
    Fixture f;
    f.Fill(int(state.range(0)));
    for (auto _ : state) {
        f.tree.Expand(f.middle, TVE_COLLAPSE, FALSE, FALSE);
        f.tree.Expand(f.middle, TVE_EXPAND, FALSE, FALSE);
    }
}

BENCHMARK(BM_InsertPreOrder)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paint)->Arg(10)->Arg(1000);
BENCHMARK(BM_PaintWrapped)->Arg(10)->Arg(1000);
BENCHMARK(BM_ScrollStep)->Arg(10)->Arg(1000);
BENCHMARK(BM_CollapseExpandMiddle)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

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

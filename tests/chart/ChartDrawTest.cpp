#include "ChartTestSupport.h"
#include "GdiFixture.h"
#include "ChartWindowFixture.h"
#include "chart/Chart.h"
#include "chart/ChartBackground.h"
#include "chart/ChartCompoundComponent.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/GdiJournal.h"
#include "platform/gui/ImagePrintContext.h"
#include "platform/gui/MessageBox.h"
#include "tests/support/TestPaths.h"

#include <QImage>
#include <filesystem>
#include <stdexcept>

namespace vq {
namespace {

using test::ProbeComponent;

constexpr COLORREF kCanvas = RGB(0, 128, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrey = RGB(192, 192, 192);
constexpr COLORREF kRed = RGB(255, 0, 0);

// Paints its area in one colour, standing in for the fills that come with the fill engine.
std::unique_ptr<ProbeComponent> Painter(COLORREF colour) {
    auto probe = std::make_unique<ProbeComponent>();
    probe->onForeground = [colour](ProbeComponent& self) {
        if (!self.GetDrawFlag()) return;
        const RECT r = self.GetDeviceRect();
        GdiHandle<BrushObject> brush(CreateSolidBrush(colour));
        FillRect(self.GetDrawingDC(), &r, brush.get());
    };
    return probe;
}

// Unfilled, so that borders and shadows show against what lies under them.
ChartBackground* AddBackground(Chart& chart, RECT r, int border, int shadow, COLORREF line = 0) {
    ChartComponent* c = chart.CreateComponent(chartBackgroundType, ChartRect::unitPixels, r, border,
                                              shadow << 4, 0, 0, 0);
    c->GetStyle().lineColour = line;
    return static_cast<ChartBackground*>(c);
}

class ChartWindowTest : public test::ChartWindowFixture {
protected:
    void SetUp() override {
        ChartWindowFixture::SetUp();
        OpenFrame({0, 0, 400, 300});
        chart.AddComponent(Painter(kCanvas));
    }
};

TEST_F(ChartWindowTest, BordersAndShadowsByKind) {
    const int w = 80, h = 60;
    auto box = [&](int column, int row) {
        return RECT{10 + 95 * column, 10 + 90 * row, 10 + 95 * column + w, 10 + 90 * row + h};
    };
    for (int kind = 1; kind <= 7; ++kind)
        AddBackground(chart, box((kind - 1) % 4, (kind - 1) / 4), kind, 0, kRed);
    for (int shadow = 1; shadow <= 3; ++shadow)
        AddBackground(chart, box(shadow - 1, 2), 0, shadow);
    Repaint();

    struct Ring {
        int kind;
        std::vector<COLORREF> leftOut, rightOut;
    };
    // Colours from the edge inwards on the left column and on the right column, then the inside.
    const Ring rings[] = {
        {1, {kWhite}, {kBlack}},
        {2, {kBlack}, {kWhite}},
        {3, {kGrey, kWhite}, {kWhite, kBlack}},
        {4, {kWhite, kWhite, kWhite}, {kBlack, kBlack, kBlack}},
        {5, {kBlack, kBlack, kBlack}, {kWhite, kWhite, kWhite}},
        {6, {kGrey, kGrey, kGrey, kWhite, kWhite, kWhite}, {kWhite, kWhite, kWhite, kBlack, kBlack, kBlack}},
        {7, {kRed}, {kRed}},
    };
    for (const Ring& ring : rings) {
        SCOPED_TRACE(ring.kind);
        const RECT r = box((ring.kind - 1) % 4, (ring.kind - 1) / 4);
        const int midY = (r.top + r.bottom) / 2, midX = (r.left + r.right) / 2;
        const int depth = int(ring.leftOut.size());
        for (int i = 0; i < depth; ++i) {
            EXPECT_EQ(At(r.left + i, midY), ring.leftOut[std::size_t(i)]) << "left " << i;
            EXPECT_EQ(At(midX, r.top + i), ring.leftOut[std::size_t(i)]) << "top " << i;
            EXPECT_EQ(At(r.right - 1 - i, midY), ring.rightOut[std::size_t(i)]) << "right " << i;
            EXPECT_EQ(At(midX, r.bottom - 1 - i), ring.rightOut[std::size_t(i)]) << "bottom " << i;
        }
        EXPECT_EQ(At(r.left + depth, midY), kCanvas);
        EXPECT_EQ(At(r.right - 1 - depth, midY), kCanvas);
    }

    for (int shadow = 1; shadow <= 3; ++shadow) {
        SCOPED_TRACE(shadow);
        const int depth = std::array{0, 3, 8, 16}[std::size_t(shadow)];
        const RECT r = box(shadow - 1, 2);
        const RECT right{r.right, r.top + depth, r.right + depth, r.bottom + depth};
        const RECT bottom{r.left + depth, r.bottom, r.right, r.bottom + depth};
        int wrong = 0, dark = 0;
        for (const RECT& strip : {right, bottom})
            for (int y = strip.top; y < strip.bottom; ++y)
                for (int x = strip.left; x < strip.right; ++x) {
                    const COLORREF expected = (x + y) % 2 == 0 ? kBlack : kCanvas;
                    wrong += At(x, y) != expected;
                    dark += At(x, y) == kBlack;
                }
        EXPECT_EQ(wrong, 0);
        EXPECT_GT(dark, 0);
        EXPECT_EQ(At(r.right + depth, r.top + depth + 1), kCanvas);
        EXPECT_EQ(At(r.right + 1, r.top + depth - 1), kCanvas);
    }

    const std::string path = vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/chart-borders-shadows.png";
    std::filesystem::remove(path);
    ASSERT_TRUE(OffscreenHarness::SaveScreenshot(frame, path));
}

TEST_F(ChartWindowTest, OneBitmapPerSizeAndTheWindowShowsIt) {
    AddBackground(chart, {20, 20, 200, 120}, 5, 2);
    GdiJournal journal;
    Repaint();
    HBITMAP first = chart.GetOffscreenBitmap();
    ASSERT_NE(first, nullptr);
    Repaint();
    EXPECT_EQ(chart.GetOffscreenBitmap(), first);
    EXPECT_EQ(journal.Calls("CreateCompatibleBitmap").size(), 1u);
    const auto copies = journal.Calls("BitBlt");
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[1].device, (RECT{0, 0, 400, 300}));
    EXPECT_FALSE(chart.IsAllInvalid());

    int differences = 0;
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, first);
    for (int y = 0; y < 300; y += 3)
        for (int x = 0; x < 400; x += 3)
            differences += GetPixel(memory, x, y) != At(x, y);
    SelectObject(memory, old);
    DeleteDC(memory);
    EXPECT_EQ(differences, 0);

    MoveWindow(frame, 0, 0, 300, 200, TRUE);
    OffscreenHarness::RunUntilIdle();
    Repaint();
    BITMAP size{};
    GetObject(chart.GetOffscreenBitmap(), sizeof size, &size);
    EXPECT_EQ(size.bmWidth, 300);
    EXPECT_EQ(size.bmHeight, 200);
    EXPECT_EQ(journal.Calls("CreateCompatibleBitmap").size(), 2u);
}

TEST(ChartDraw, ExplicitPositionDrawsOnlyThere) {
    Chart chart;
    chart.AddComponent(Painter(kCanvas));
    chart.SetPosition(0, 62, 300, 200, true);
    test::MemoryCanvas canvas(400, 300);
    chart.DrawComponentList(canvas.Dc(), 0);
    int outside = 0, inside = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            const bool in = x < 300 && y >= 62 && y < 200;
            (in ? inside : outside) += canvas.At(x, y) == (in ? kCanvas : kWhite);
        }
    EXPECT_EQ(inside, 300 * 138);
    EXPECT_EQ(outside, 400 * 300 - 300 * 138);
    // The bitmap reaches from the origin to the position's far corner.
    BITMAP size{};
    GetObject(chart.GetOffscreenBitmap(), sizeof size, &size);
    EXPECT_EQ(size.bmWidth, 300);
    EXPECT_EQ(size.bmHeight, 200);
}

TEST(ChartDraw, WithoutWindowOrPositionTheChartIs200By150) {
    Chart chart;
    SIZE seen{};
    auto probe = std::make_unique<ProbeComponent>();
    probe->onForeground = [&](ProbeComponent& self) { seen = self.GetChart()->GetDrawingSize(); };
    chart.AddComponent(std::move(probe));
    chart.SetBitmapSizing(0);
    HDC window = GetDC(0);
    chart.DrawComponentList(window, 0);
    ReleaseDC(0, window);
    EXPECT_EQ(seen.cx, 200);
    EXPECT_EQ(seen.cy, 150);
}

TEST(ChartDraw, UnitsMarginsAndColourWords) {
    Chart chart;
    chart.SetPosition(0, 0, 400, 300, true);
    auto* inches = AddBackground(chart, {}, 5, 0);
    inches->SetUnit(ChartRect::unitInches);
    inches->SetRectValues(1.5, -1, -1, 2);
    auto* percent = AddBackground(chart, {}, 0, 0);
    percent->SetUnit(ChartRect::unitPercent);
    percent->SetRectValues(10, 10, 60, 50);
    auto* millimetres = AddBackground(chart, {}, 0, 0);
    millimetres->SetUnit(ChartRect::unitMillimetres);
    millimetres->SetRectValues(25.4, 0, 50.8, 10);
    RECT inchRect{}, percentRect{}, mmRect{}, interior{};
    auto probe = std::make_unique<ProbeComponent>();
    probe->onForeground = [&](ProbeComponent& self) {
        HDC dc = self.GetDrawingDC();
        inchRect = inches->GetRect().GetDeviceRect(dc, 0);
        percentRect = percent->GetRect().GetDeviceRect(dc, 0);
        mmRect = millimetres->GetRect().GetDeviceRect(dc, 0);
        inches->BeginDraw(dc, 0);
        interior = inches->GetInteriorRect(inchRect);
        inches->EndDraw();
    };
    chart.AddComponent(std::move(probe));
    test::MemoryCanvas canvas(400, 300);
    chart.DrawComponentList(canvas.Dc(), 0);
    EXPECT_EQ(inchRect, (RECT{144, 0, 400, 192}));
    EXPECT_EQ(percentRect, (RECT{40, 30, 240, 150}));
    EXPECT_EQ(mmRect, (RECT{96, 0, 192, 37}));
    // Three border lines and the 0.2-inch margin of 19.2 pixels, truncated.
    EXPECT_EQ(interior, (RECT{144 + 22, 0 + 22, 400 - 22, 192 - 22}));

    EXPECT_EQ(inches->GetSpacing(), 0.1);
    EXPECT_EQ(inches->GetVerticalMargin(), 0.2);
    EXPECT_EQ(millimetres->GetSpacing(), 2.5);
    EXPECT_EQ(millimetres->GetHorizontalMargin(), 5);
    EXPECT_EQ(percent->GetSpacing(), 1.25);

    struct Brush {
        int word, count;
        UINT style;
        COLORREF colour;
        int hatch;
    };
    for (const Brush& b :
         {Brush{0x25, 16, BS_HATCHED, RGB(255, 0, 255), HS_CROSS},
          Brush{0x05, 16, BS_SOLID, RGB(255, 0, 255), 0}, Brush{0x0F, 16, BS_SOLID, RGB(128, 255, 0), 0},
          Brush{0, 8, BS_SOLID, 16'777'215, 0}, Brush{255, 8, BS_SOLID, 65'793, 0}}) {
        SCOPED_TRACE(b.word);
        ChartComponent& c = *inches;
        c.SelectColorBrush(b.word, b.count);
        LOGBRUSH lb{};
        GetObject(c.GetColourBrush(), sizeof lb, &lb);
        EXPECT_EQ(lb.lbStyle, b.style);
        EXPECT_EQ(lb.lbColor, b.colour);
        if (b.style == BS_HATCHED) {
            EXPECT_EQ(int(lb.lbHatch), b.hatch);
        }
    }
    inches->SelectColorPen(0x1A, 2, 16);
    EXPECT_EQ(inches->GetColourPen(), chart.GetPen(PS_DASHDOT, 2, RGB(255, 128, 0)));
}

TEST(ChartDraw, DataWindowAndRotation) {
    ChartBackground c;
    EXPECT_TRUE(c.InDataWindow(123, 45));
    c.SetDataWindow(2, 3, 0, -1);
    EXPECT_FALSE(c.InDataWindow(1, 0));
    for (int group : {0, 5, 99})
        EXPECT_TRUE(c.InDataWindow(2, group));
    EXPECT_EQ(c.RotatePoint(10, 0, 90, false), (POINT{0, -9}));
    EXPECT_EQ(c.RotatePoint(10, 0, 0, false), (POINT{10, 0}));
}

TEST(ChartDraw, NestedDrawsDoNothing) {
    Chart outer, inner;
    auto innerProbe = std::make_unique<ProbeComponent>();
    ProbeComponent* innerRaw = innerProbe.get();
    inner.AddComponent(std::move(innerProbe));
    test::MemoryCanvas canvas(50, 50);
    auto probe = std::make_unique<ProbeComponent>();
    probe->onForeground = [&](ProbeComponent& self) {
        EXPECT_TRUE(Chart::IsAnyChartDrawing());
        inner.DrawComponentList(self.GetDrawingDC(), 0);
    };
    outer.AddComponent(std::move(probe));
    outer.DrawComponentList(canvas.Dc(), 0);
    EXPECT_EQ(innerRaw->draws, 0);
    EXPECT_FALSE(Chart::IsAnyChartDrawing());
    inner.DrawComponentList(canvas.Dc(), 0);
    EXPECT_EQ(innerRaw->draws, 1);
}

TEST(ChartDraw, EmptyChartLeavesTheContextAlone) {
    Chart chart;
    test::MemoryCanvas canvas(20, 20);
    chart.DrawComponentList(canvas.Dc(), 0);
    EXPECT_EQ(chart.GetOffscreenBitmap(), nullptr);
    EXPECT_EQ(canvas.At(5, 5), kWhite);
}

// Counts boxes and notes whether a chart was still drawing when each one came up.
class RecordingBoxes : public MessageBoxProvider {
public:
    RecordingBoxes() : m_previous(SetMessageBoxProvider(this)) {}
    ~RecordingBoxes() override { SetMessageBoxProvider(m_previous); }
    int Show(HWND, const std::string& text, const std::string&, UINT) override {
        texts.push_back(text);
        shownWhileDrawing += Chart::IsAnyChartDrawing();
        return 1;
    }
    std::vector<std::string> texts;
    int shownWhileDrawing = 0;

private:
    MessageBoxProvider* m_previous;
};

TEST(ChartDraw, AChartErrorIsShownOnceAfterTheDrawUntilADrawSucceeds) {
    Chart chart;
    bool fail = true;
    auto probe = std::make_unique<ProbeComponent>();
    ProbeComponent* raw = probe.get();
    probe->onForeground = [&](ProbeComponent&) {
        if (fail) RaiseChartError(21);
    };
    chart.AddComponent(std::move(probe));
    auto after = std::make_unique<ProbeComponent>();
    ProbeComponent* afterRaw = after.get();
    chart.AddComponent(std::move(after));
    RecordingBoxes boxes;
    test::MemoryCanvas canvas(50, 50);
    for (int i = 0; i < 3; ++i)
        chart.DrawComponentList(canvas.Dc(), 0);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "There are too few groups for this chart type.");
    EXPECT_EQ(boxes.shownWhileDrawing, 0);
    EXPECT_EQ(raw->draws, 3);
    EXPECT_EQ(afterRaw->draws, 0) << "the error ends the walk";
    fail = false;
    chart.DrawComponentList(canvas.Dc(), 0);
    fail = true;
    chart.DrawComponentList(canvas.Dc(), 0);
    EXPECT_EQ(boxes.texts.size(), 2u);
}

TEST(ChartDraw, OtherExceptionsPassOnAndLeaveEveryChartDrawable) {
    Chart failing;
    auto probe = std::make_unique<ProbeComponent>();
    probe->onForeground = [](ProbeComponent& self) {
        SelectClipRgn(self.GetDrawingDC(), nullptr);
        SetTextColor(self.GetDrawingDC(), RGB(1, 2, 3));
        throw std::runtime_error("broken");
    };
    failing.AddComponent(std::move(probe));
    failing.SetBitmapSizing(0);
    test::MemoryCanvas canvas(50, 50);
    HDC dc = canvas.Dc();
    GdiHandle<RegionObject> clip(CreateRectRgn(5, 5, 30, 30));
    SelectClipRgn(dc, clip.get());
    SetTextColor(dc, RGB(9, 9, 9));
    EXPECT_THROW(failing.DrawComponentList(dc, 0), std::runtime_error);
    EXPECT_FALSE(Chart::IsAnyChartDrawing());
    EXPECT_EQ(GetTextColor(dc), RGB(9, 9, 9));
    GdiHandle<RegionObject> now(CreateRectRgn(0, 0, 0, 0));
    ASSERT_EQ(GetClipRgn(dc, now.get()), 1);
    EXPECT_TRUE(EqualRgn(now.get(), clip.get()));

    Chart other;
    auto fine = std::make_unique<ProbeComponent>();
    ProbeComponent* fineRaw = fine.get();
    other.AddComponent(std::move(fine));
    other.DrawComponentList(dc, 0);
    EXPECT_EQ(fineRaw->draws, 1);
    EXPECT_THROW(failing.DrawComponentList(dc, 0), std::runtime_error);
}

TEST(ChartDraw, ClipStackRestoresWhatWasSaved) {
    Chart chart;
    chart.SetBitmapSizing(0);
    bool checked = false;
    auto probe = std::make_unique<ProbeComponent>();
    probe->onForeground = [&](ProbeComponent& self) {
        Chart& c = *self.GetChart();
        HDC dc = self.GetDrawingDC();
        auto clipNow = [&] {
            GdiHandle<RegionObject> r(CreateRectRgn(0, 0, 0, 0));
            return GetClipRgn(dc, r.get()) == 1 ? std::move(r) : nullptr;
        };
        GdiHandle<RegionObject> r(CreateRectRgn(10, 10, 80, 60));
        SelectClipRgn(dc, r.get());
        c.SaveClip();
        c.ClipToRect(0, 0, 40, 40, RGN_AND);
        GdiHandle<RegionObject> afterRect(CreateRectRgn(10, 10, 40, 40));
        EXPECT_TRUE(EqualRgn(clipNow().get(), afterRect.get()));
        c.SaveClip();
        const POINT triangle[] = {{0, 0}, {40, 0}, {0, 40}};
        c.ClipToPolyline(triangle, RGN_AND);
        auto inTriangle = clipNow();
        EXPECT_TRUE(PtInRegion(inTriangle.get(), 12, 12));
        EXPECT_FALSE(PtInRegion(inTriangle.get(), 35, 35));
        c.RestoreClip();
        EXPECT_TRUE(EqualRgn(clipNow().get(), afterRect.get()));
        c.RestoreClip();
        EXPECT_TRUE(EqualRgn(clipNow().get(), r.get()));

        // The component's own entry was saved without a region: the clip stays as it is.
        c.RestoreClip();
        EXPECT_TRUE(EqualRgn(clipNow().get(), r.get()));
        // With the stack empty, clipping is gone.
        c.RestoreClip();
        EXPECT_EQ(clipNow(), nullptr);
        checked = true;
    };
    chart.AddComponent(std::move(probe));
    test::MemoryCanvas canvas(100, 100);
    chart.DrawComponentList(canvas.Dc(), 0);
    EXPECT_TRUE(checked);
}

TEST(ChartDraw, CompoundRunsOnlyThePassItsFlagSelects) {
    Chart chart;
    auto compound = std::make_unique<ChartCompoundComponent>();
    compound->SetOwnBackground(1);
    compound->GetStyle().frameWord = 0x111;
    compound->SetRectFromRECT({5, 5, 45, 45});
    auto child = Painter(kCanvas);
    child->SetRectFromRECT({10, 10, 40, 40});
    ProbeComponent* childRaw = child.get();
    compound->AddComponent(std::move(child));
    ChartCompoundComponent* raw = compound.get();
    chart.AddComponent(std::move(compound));

    test::MemoryCanvas canvas(60, 60);
    raw->SetDrawFlag(0);
    raw->Draw(canvas.Dc(), 0);
    EXPECT_EQ(childRaw->draws, 1) << "laid out";
    const auto white = std::vector<std::uint32_t>(60 * 60, kDeviceWhite);
    EXPECT_EQ(canvas.Pixels(), white) << "but nothing painted";

    raw->SetTwoPass(1);
    raw->SetDrawFlag(1);
    raw->Draw(canvas.Dc(), 0);
    EXPECT_EQ(childRaw->draws, 3);
    EXPECT_EQ(canvas.At(20, 20), kCanvas);
    EXPECT_EQ(canvas.At(5, 20), kWhite) << "the raised border";
    EXPECT_EQ(canvas.At(44, 20), kBlack);
}

TEST(ChartPrint, BandsOf128RowsGiveTheSamePageAsOneDraw) {
    auto build = [](Chart& chart, std::vector<int>* bandOrigins) {
        // The off-screen bitmap starts black; a page-sized white painter stands in for a filled
        // background, as the printed page is white.
        chart.AddComponent(Painter(kWhite));
        AddBackground(chart, {20, 20, 160, 260}, 5, 1);
        auto probe = Painter(kCanvas);
        probe->SetRectFromRECT({30, 30, 150, 250});
        if (bandOrigins) {
            auto paint = probe->onForeground;
            probe->onForeground = [paint, bandOrigins](ProbeComponent& self) {
                POINT origin{};
                GetViewportOrgEx(self.GetDrawingDC(), &origin);
                bandOrigins->push_back(origin.y);
                EXPECT_FALSE(IsPrinting(self.GetDrawingDC()));
                EXPECT_EQ(GetDeviceCaps(self.GetDrawingDC(), LOGPIXELSY), 300);
                paint(self);
            };
        }
        chart.AddComponent(std::move(probe));
    };
    Chart banded;
    std::vector<int> origins;
    build(banded, &origins);
    banded.SetBandedPrinting(1);
    ImagePrintContext page(200, 300, 300);
    GdiJournal journal;
    banded.DrawComponentList(page.Dc(), 0);
    EXPECT_EQ(origins, (std::vector<int>{0, -128, -256}));
    std::vector<RECT> copies;
    for (const auto& call : journal.Calls("BitBlt"))
        if (call.dc == page.Dc()) copies.push_back(call.device);
    EXPECT_EQ(copies, (std::vector<RECT>{{0, 0, 200, 128}, {0, 128, 200, 256}, {0, 256, 200, 300}}));
    EXPECT_EQ(banded.IsBandedPrinting(), 0);
    EXPECT_FALSE(banded.HasExplicitPosition());

    Chart single;
    build(single, nullptr);
    test::MemoryCanvas reference(200, 300);
    reference.Dc()->SetResolution({300, 300});
    single.DrawComponentList(reference.Dc(), 0);
    int differences = 0;
    HDC pageDc = page.Dc();
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 200; ++x)
            differences += GetPixel(pageDc, x, y) != reference.At(x, y);
    EXPECT_EQ(differences, 0);

    QImage image(200, 300, QImage::Format_RGB32);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 200; ++x) {
            const COLORREF c = GetPixel(pageDc, x, y);
            image.setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
        }
    ASSERT_TRUE(image.save(
        QString::fromStdString(vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/chart-printed-page.png")));
}

TEST(ChartPrint, UnbandedShadowsScaleWithThePrinter) {
    Chart chart;
    AddBackground(chart, {20, 20, 100, 100}, 0, 1);
    ImagePrintContext page(200, 200, 300);
    chart.DrawComponentList(page.Dc(), 0);
    auto darkIn = [&](int x) {
        int dark = 0;
        for (int y = 40; y < 100; ++y)
            dark += GetPixel(page.Dc(), x, y) == kBlack;
        return dark;
    };
    EXPECT_GT(darkIn(100), 0);
    EXPECT_GT(darkIn(108), 0);
    EXPECT_EQ(darkIn(109), 0) << "3 x 300 / 96 = 9.375 pixels, truncated";
    EXPECT_EQ(chart.GetOffscreenBitmap(), nullptr) << "printing draws straight onto the page";
}

} // namespace
} // namespace vq

namespace vq {
namespace {

std::unique_ptr<ProbeComponent> Named(const char* name) {
    auto probe = std::make_unique<ProbeComponent>();
    probe->GetStyle().name = name;
    return probe;
}

TEST(ChartDraw, ADrawClearsTheLastDrawsFeedbackAndLabelsAndDrawsWhatItAppends) {
    for (u32 handling : {0u, 1u, 2u, 3u}) {
        SCOPED_TRACE(handling);
        Chart chart;
        chart.GetStyle().labelWord = (chart.GetStyle().labelWord & ~(3u << 28)) | (handling << 28);
        chart.AddPointFeedback(1, 1, 0, 0);
        chart.AddComponent(Named(Chart::kTemporaryLabelName));
        chart.AddComponent(Named(Chart::kLabelBlockName));
        ProbeComponent* appended = nullptr;
        auto probe = std::make_unique<ProbeComponent>();
        probe->onForeground = [&](ProbeComponent& self) {
            EXPECT_TRUE(self.GetChart()->GetFeedbackList().empty());
            if (appended) return;
            auto label = Named(Chart::kTemporaryLabelName);
            appended = label.get();
            self.GetChart()->AddComponent(std::move(label));
        };
        chart.AddComponent(std::move(probe));
        test::MemoryCanvas canvas(20, 20);
        chart.DrawComponentList(canvas.Dc(), 0);
        ASSERT_NE(appended, nullptr);
        EXPECT_EQ(appended->draws, 1) << "drawn in the pass that added it";
        const std::size_t kept = handling == 1 ? 4u : 2u;
        EXPECT_EQ(chart.GetComponentList().size(), kept);
    }
}

TEST(ChartDraw, InvalidatingShadowsTouchesOnlyTheStrips) {
    Chart chart;
    ChartComponent* c = AddBackground(chart, {10, 10, 50, 40}, 0, 1);
    c->SetInvalid(0);
    WNDCLASS wc;
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "ChartInvalidate";
    RegisterClass(wc);
    HWND window =
        CreateWindowEx(0, "ChartInvalidate", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, 0, 0, nullptr);
    OffscreenHarness::RunUntilIdle();
    ValidateRect(window, nullptr);
    chart.InvalidateComponentAreas(window, Chart::invalidateShadows, 0);
    RECT dirty{};
    ASSERT_TRUE(GetUpdateRect(window, &dirty, FALSE));
    EXPECT_EQ(dirty, (RECT{13, 13, 54, 44}));
    ValidateRect(window, nullptr);
    chart.InvalidateComponentAreas(window, Chart::invalidateWhole, 0);
    ASSERT_TRUE(GetUpdateRect(window, &dirty, FALSE));
    EXPECT_EQ(dirty, (RECT{10, 10, 50, 40}));
    DestroyWindow(window);
}

} // namespace
} // namespace vq

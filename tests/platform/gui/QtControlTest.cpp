#include "platform/gui/QtControl.h"

#include "WindowFixture.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/StandardControls.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QWidget>
#include <QtTest/qtestspontaneevent.h>
#include <cstring>

namespace vq::test {
namespace {

class QtControlTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        RegisterStandardControls();
        top = Make("Spy", WS_POPUP | WS_VISIBLE, {0, 0, 300, 200});
        OffscreenHarness::RunUntilIdle();
    }

    HWND Control(const char* cls, DWORD style, int id = 5) {
        const HWND w =
            Make(cls, WS_CHILD | WS_VISIBLE | style, {10, 10, 210, 110}, top, 0, std::uintptr_t(id));
        OffscreenHarness::RunUntilIdle();
        return w;
    }

    static HFONT Font(int height, const char* face, int weight = FW_NORMAL) {
        LOGFONT lf;
        lf.lfHeight = height;
        lf.lfWeight = weight;
        std::strcpy(lf.lfFaceName, face);
        return CreateFontIndirect(lf);
    }

    // How the layer itself measures text in the font.
    struct Measure {
        int height;
        int width;
        bool operator==(const Measure&) const = default;
    };
    static Measure LayerMeasure(HGDIOBJ font, const char* text) {
        HDC dc = GetDC(0);
        HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRIC tm;
        GetTextMetrics(dc, &tm);
        SIZE extent;
        GetTextExtentPoint32(dc, text, int(std::strlen(text)), &extent);
        SelectObject(dc, old);
        ReleaseDC(0, dc);
        return {tm.tmHeight, extent.cx};
    }
    static Measure WidgetMeasure(HWND control, const char* text) {
        const QFontMetrics m(QtControlOf(control)->font());
        return {m.height(), m.horizontalAdvance(QString::fromUtf8(text))};
    }

    static HFONT FontOf(HWND control) {
        return reinterpret_cast<HFONT>(SendMessage(control, WM_GETFONT, 0, 0));
    }

    HWND top = 0;
};

constexpr const char* kSample = "Traffic 42 Wg";

TEST_F(QtControlTest, EveryQtBackedControlDrawsWithTheLayersFaceAndGivesTheHandleBack) {
    struct Case {
        const char* cls;
        DWORD style;
    };
    for (const Case c : {Case{"Edit", ES_AUTOHSCROLL}, Case{"Edit", ES_MULTILINE}, Case{"ListBox", LBS_NOTIFY},
                         Case{"ComboBox", CBS_DROPDOWNLIST}}) {
        SCOPED_TRACE(std::string(c.cls) + (c.style & ES_MULTILINE ? " multi-line" : ""));
        const HWND control = Control(c.cls, c.style);
        // Until it is given a font, a control uses the face of the layer's own controls.
        EXPECT_EQ(FontOf(control), HFONT(nullptr));
        const Measure standard = LayerMeasure(GetStockObject(DEFAULT_GUI_FONT), kSample);
        EXPECT_EQ(WidgetMeasure(control, kSample), standard);

        const HFONT narrow = Font(-20, "Arial Narrow", FW_BOLD);
        SendMessage(control, WM_SETFONT, WPARAM(narrow), TRUE);
        EXPECT_EQ(FontOf(control), narrow);
        EXPECT_EQ(WidgetMeasure(control, kSample), LayerMeasure(narrow, kSample));
        EXPECT_FALSE(WidgetMeasure(control, kSample) == standard);

        // What is no live font is refused; the font set stays.
        const HFONT gone = Font(-30, "Arial");
        DeleteObject(gone);
        SendMessage(control, WM_SETFONT, WPARAM(gone), TRUE);
        SendMessage(control, WM_SETFONT, WPARAM(GetStockObject(BLACK_BRUSH)), TRUE);
        EXPECT_EQ(FontOf(control), narrow);
        EXPECT_EQ(WidgetMeasure(control, kSample), LayerMeasure(narrow, kSample));

        // The control keeps its own copy of the face: the caller may delete the font.
        const Measure before = WidgetMeasure(control, kSample);
        DeleteObject(narrow);
        SendMessage(control, WM_SETTEXT, 0, LPARAM("still drawn"));
        OffscreenHarness::RunUntilIdle();
        EXPECT_EQ(WidgetMeasure(control, kSample), before);

        SendMessage(control, WM_SETFONT, 0, FALSE);
        EXPECT_EQ(FontOf(control), HFONT(nullptr));
        EXPECT_EQ(WidgetMeasure(control, kSample), standard);
        DestroyWindow(control);
    }

    // A scroll bar has no text and no font.
    const HWND bar = Control("ScrollBar", SBS_HORZ);
    const HFONT font = Font(-20, "Arial");
    SendMessage(bar, WM_SETFONT, WPARAM(font), TRUE);
    EXPECT_EQ(FontOf(bar), HFONT(nullptr));
    DeleteObject(font);
}

// Counts the paints of a widget and its parts.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) {
        widget->installEventFilter(this);
        for (QWidget* part : widget->findChildren<QWidget*>())
            part->installEventFilter(this);
    }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST_F(QtControlTest, TheRedrawFlagSaysWhetherTheNewFaceShowsBeforeTheMessageReturns) {
    for (const char* cls : {"Edit", "ListBox"}) {
        SCOPED_TRACE(cls);
        const HWND control = Control(cls, 0);
        SendMessage(control, WM_SETTEXT, 0, LPARAM("text"));
        OffscreenHarness::RunUntilIdle();
        const HFONT font = Font(-18, "Arial");
        PaintCounter counter(QtControlOf(control));
        SendMessage(control, WM_SETFONT, WPARAM(font), FALSE);
        EXPECT_EQ(counter.paints, 0);
        SendMessage(control, WM_SETFONT, WPARAM(font), TRUE);
        EXPECT_GT(counter.paints, 0);
        DestroyWindow(control);
        DeleteObject(font);
    }
}

// An editor laid over a list box's item takes the list box's font and fits the item.
TEST_F(QtControlTest, AListBoxItemFollowsItsFont) {
    const HWND list = Control("ListBox", LBS_NOTIFY);
    SendMessage(list, LB_ADDSTRING, 0, LPARAM("alpha"));
    SendMessage(list, LB_ADDSTRING, 0, LPARAM("beta"));
    const auto height = [&] { return int(SendMessage(list, LB_GETITEMHEIGHT, 0, 0)); };
    const int before = height();
    const HFONT large = Font(-26, "Arial");
    SendMessage(list, WM_SETFONT, WPARAM(large), TRUE);
    OffscreenHarness::RunUntilIdle();
    EXPECT_GE(height(), LayerMeasure(large, "alpha").height);
    EXPECT_GT(height(), before);
    RECT item;
    SendMessage(list, LB_GETITEMRECT, 1, LPARAM(&item));
    EXPECT_EQ(item.Height(), height());
    EXPECT_EQ(item.top, height());
    DestroyWindow(list);
    DeleteObject(large);
}

// What the user does to any part of a Qt widget (a scrolling widget's viewport too) reaches the
// control's window first, so Qt never edits or selects behind the control's back and never opens
// its own menu.
TEST_F(QtControlTest, InputOnAnyPartOfTheWidgetGoesToTheWindow) {
    struct Case {
        const char* cls;
        DWORD style;
    };
    for (const Case c :
         {Case{"Edit", ES_AUTOHSCROLL}, Case{"Edit", ES_MULTILINE}, Case{"ListBox", LBS_NOTIFY}}) {
        SCOPED_TRACE(std::string(c.cls) + (c.style & ES_MULTILINE ? " multi-line" : ""));
        const HWND control = Control(c.cls, c.style);
        if (std::string(c.cls) == "ListBox") SendMessage(control, LB_ADDSTRING, 0, LPARAM("alpha"));
        SetFocus(top);
        OffscreenHarness::RunUntilIdle();
        QWidget* widget = QtControlOf(control);
        QWidget* part = widget->childAt(5, 5) ? widget->childAt(5, 5) : widget;
        seen.clear();

        // Delivered as Qt delivers the user's input: notify, unlike sendEvent, keeps it spontaneous.
        const QPointF at(5, 5);
        QMouseEvent press(QEvent::MouseButtonPress, at, part->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QSpontaneKeyEvent::setSpontaneous(&press);
        qApp->notify(part, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, part->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QSpontaneKeyEvent::setSpontaneous(&release);
        qApp->notify(part, &release);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), part->mapToGlobal(QPoint(5, 5)));
        QSpontaneKeyEvent::setSpontaneous(&menu);
        qApp->notify(part, &menu);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        OffscreenHarness::RunUntilIdle();

        EXPECT_EQ(GetFocus(), control);
        // Only the list box reports what the click chose, and it does so through its window.
        std::vector<UINT> notes;
        for (const auto& s : seen)
            if (s.window == top && s.message == WM_COMMAND && HWND(s.lParam) == control)
                notes.push_back(HIWORD(s.wParam));
        if (std::string(c.cls) == "ListBox") {
            EXPECT_EQ(SendMessage(control, LB_GETCURSEL, 0, 0), 0);
            EXPECT_EQ(notes, (std::vector<UINT>{LBN_SETFOCUS, LBN_SELCHANGE}));
        } else {
            EXPECT_EQ(notes, std::vector<UINT>{EN_SETFOCUS});
        }
        DestroyWindow(control);
    }
}

} // namespace
} // namespace vq::test

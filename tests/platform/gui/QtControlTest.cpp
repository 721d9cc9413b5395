#include "platform/gui/QtControl.h"

#include "WindowFixture.h"
#include "platform/gui/StandardControls.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QtTest/qtestspontaneevent.h>

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

    HWND top = 0;
};

// What the user does to any part of a Qt widget (a scrolling widget's viewport too) reaches the
// control's window first, so Qt never edits or selects behind the control's back and never opens
// its own menu.
TEST_F(QtControlTest, InputOnAnyPartOfTheWidgetGoesToTheWindow) {
    struct Case {
        const char* cls;
        DWORD style;
    };
    for (const Case c : {Case{"Edit", ES_AUTOHSCROLL}, Case{"ListBox", LBS_NOTIFY}}) {
        SCOPED_TRACE(c.cls);
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

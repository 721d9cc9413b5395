#pragma once

#include "DateTimeFixture.h"
#include "platform/classlib/Wnd.h"
#include "platform/gui/ControlTypes.h"
#include "platform/gui/Messages.h"
#include "platform/gui/OffscreenHarness.h"
#include "tests/support/TestPaths.h"

#include <QString>

namespace vq::test {

// A top-level window at the screen's origin that keeps the control's notifications.
class SpyParent : public CWnd {
public:
    struct Note {
        UINT id;
        UINT code;
        HWND from;
    };
    std::vector<Note> notes;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND) notes.push_back({LOWORD(wParam), HIWORD(wParam), HWND(lParam)});
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<UINT> Codes() const {
        std::vector<UINT> codes;
        for (const Note& n : notes)
            codes.push_back(n.code);
        return codes;
    }
};

// A windowed control on a parent, driven by the harness's keys and mouse.
class DateTimeWndTest : public DateTimeTest {
protected:
    void SetUp() override {
        DateTimeTest::SetUp();
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 300}, nullptr, 0));
        OffscreenHarness::RunUntilIdle();
    }
    void TearDown() override {
        ReleaseCapture();
        parent.DestroyWindow();
        DateTimeTest::TearDown();
    }

    // A control with the format, created focused with the value of 10 March 2024 09:05.
    void Open(TkDateTimeCtrl& ctrl, const char* format, DWORD style = 0, DWORD exStyle = 0,
              RECT rect = RECT{10, 10, 130, 32}) {
        ctrl.SetFormat(std::string(format));
        ASSERT_TRUE(ctrl.SetDateTime({2024, 3, 10, 9, 5, 0}));
        ASSERT_TRUE(ctrl.CreateEx(exStyle, WS_VISIBLE | WS_TABSTOP | style, rect, &parent, 42));
        SetFocus(ctrl.m_hWnd);
        OffscreenHarness::RunUntilIdle();
        parent.notes.clear();
    }

    static int QtKeyOf(char c) {
        if (c >= '0' && c <= '9') return Qt::Key_0 + (c - '0');
        if (c >= 'a' && c <= 'z') return Qt::Key_A + (c - 'a');
        if (c >= 'A' && c <= 'Z') return Qt::Key_A + (c - 'A');
        if (c == ':') return Qt::Key_Colon;
        if (c == ' ') return Qt::Key_Space;
        return Qt::Key_unknown;
    }
    static void Type(const char* text) {
        for (const char* p = text; *p; ++p) {
            const QString character(QChar::fromLatin1(*p));
            OffscreenHarness::Key(QtKeyOf(*p), Qt::NoModifier, character, true);
            OffscreenHarness::Key(QtKeyOf(*p), Qt::NoModifier, character, false);
        }
        OffscreenHarness::RunUntilIdle();
    }
    static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        OffscreenHarness::Key(key, modifiers, QString(), true);
        OffscreenHarness::Key(key, modifiers, QString(), false);
        OffscreenHarness::RunUntilIdle();
    }
    static POINT Screen(HWND window, POINT p) {
        ClientToScreen(window, &p);
        return p;
    }
    static void Click(HWND window, POINT p) {
        OffscreenHarness::MousePress(Screen(window, p));
        OffscreenHarness::MouseRelease(Screen(window, p));
        OffscreenHarness::RunUntilIdle();
    }
    static std::string WindowText(HWND window) {
        char buffer[64] = "unchanged";
        const LRESULT n = SendMessage(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
        return n == 0 ? std::string() : std::string(buffer, std::size_t(n));
    }
    static RECT GadgetRect(const TkDateTimeCtrl& ctrl, std::int32_t id) {
        for (std::size_t i = 0; i < ctrl.GetGadgetCount(); ++i)
            if (ctrl.GetGadget(i)->GetId() == id) return ctrl.GetGadget(i)->GetRect();
        return RECT{};
    }
    static POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    static std::string OutputPath(const char* name) { return TestPath("VQ_TEST_OUTPUT_DIR") + "/" + name; }

    SpyParent parent;
};

} // namespace vq::test

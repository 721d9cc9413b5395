#include "toolkit/lists/TkListBoxEditor.h"

#include "listeditor.h"
#include "platform/gui/CommonDialogs.h"
#include "platform/gui/DialogManager.h"
#include "platform/gui/OffscreenHarness.h"
#include <QImage>
#include "platform/gui/SystemColours.h"
#include "platform/thread/MonotonicClock.h"
#include "tests/support/ShownTips.h"
#include "tests/support/TestPaths.h"
#include "toolkit/lists/TkDirListBoxEditor.h"
#include "toolkit/lists/TkFakeButton.h"
#include "toolkit/lists/TkFileListBoxEditor.h"
#include "toolkit/lists/TkListBoxDragWnd.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace vq {
namespace {

// A dialog that records the list box's notifications in the order they arrive.
class RecordingDialog : public CWnd {
public:
    std::vector<UINT> codes;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (LOWORD(std::uintptr_t(wParam)) == IDC_LE_LIST) codes.push_back(HIWORD(std::uintptr_t(wParam)));
        return CWnd::OnCommand(wParam, lParam);
    }
};

// An editor whose subclass refuses to delete entries starting with "keep".
class GuardedEditor : public TkListBoxEditor {
public:
    std::vector<std::pair<int, int>> moves;
    BOOL OnDeletingItem(int, const std::string& text) override { return text.rfind("keep", 0) != 0; }
    void OnItemMoved(int from, int to, const std::string& text, BOOL byDrag) override {
        moves.emplace_back(from, to);
        movedText = text;
        movedByDrag = byDrag;
        TkListBoxEditor::OnItemMoved(from, to, text, byDrag);
    }
    std::string movedText;
    BOOL movedByDrag = FALSE;
};

// Runs work on the window thread from the thread that drives a modal loop there: the loop
// dispatches the probe's message, and the driver waits until it ran.
class Probe : public CWnd {
public:
    Probe() { EXPECT_TRUE(CreateEx(0, nullptr, "", WS_POPUP, RECT{0, 0, 1, 1}, nullptr, 0)); }
    // Called from the driving thread.
    void Run(std::function<void()> work) {
        m_work = std::move(work);
        const int before = m_done.load();
        ::vq::PostMessage(m_hWnd, WM_USER + 1, 0, 0);
        while (m_done.load() == before)
            std::this_thread::yield();
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_USER + 1) return CWnd::WindowProc(message, wParam, lParam);
        // The ticks that fell due when the clock moved come first, as they would have.
        MSG tick;
        while (PeekMessage(&tick, 0, WM_TIMER, WM_TIMER, PM_REMOVE))
            DispatchMessage(&tick);
        m_work();
        ++m_done;
        return 0;
    }

private:
    std::function<void()> m_work;
    std::atomic<int> m_done{0};
};

// A drag of the selection from a row's point, driven by `script` from a second thread.
void DragFrom(HWND list, POINT start, const std::function<void(HWND)>& script) {
    // The button goes down where the pointer is.
    POINT screen = start;
    ClientToScreen(list, &screen);
    OffscreenHarness::MouseMove(screen);
    OffscreenHarness::RunUntilIdle();
    std::thread driver([&] {
        HWND window = 0;
        while (!(window = TkListBoxDragWnd::ActiveWindow()))
            std::this_thread::yield();
        script(window);
    });
    ::vq::SendMessage(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start.x, start.y));
    driver.join();
}

// On the window thread: the layer's windows are its own.
LPARAM ScreenParam(HWND window, POINT client) {
    ClientToScreen(window, &client);
    return MAKELPARAM(client.x, client.y);
}

constexpr DWORD kAll = ListEditorButtons | ListEditorToolTips | ListEditorKeys | ListEditorDrag | ListEditorNewButton |
                       ListEditorDeleteButton | ListEditorUpButton | ListEditorDownButton;

class ListEditorTest : public ::testing::Test {
protected:
    void SetUp() override { SetMonotonicClock(&clock); }
    void TearDown() override {
        editor.reset();
        if (dialog.m_hWnd) dialog.DestroyWindow();
        OffscreenHarness::RunUntilIdle();
        SetMonotonicClock(nullptr);
    }

    void Open(DWORD flags, UINT templateId = IDD_LISTEDITOR, std::vector<const char*> entries = {"alpha", "beta", "gamma"}) {
        ASSERT_TRUE(dialog.CreateDlg(templateId, nullptr));
        for (const char* e : entries)
            ::vq::SendMessage(List(), LB_ADDSTRING, 0, LPARAM(e));
        GetWindowRect(List(), &listBefore);
        editor = std::make_unique<GuardedEditor>();
        ASSERT_TRUE(editor->Initialize(&dialog, IDC_LE_LIST, flags));
        editor->SetWindowText("Servers");
        OffscreenHarness::RunUntilIdle();
        dialog.codes.clear();
    }
    HWND List() const { return ::vq::GetDlgItem(dialog.m_hWnd, IDC_LE_LIST); }
    CListBox& Box() const { return *editor->GetListBox(); }
    std::vector<std::string> Entries() const {
        std::vector<std::string> all;
        for (int i = 0; i < Box().GetCount(); ++i)
            all.push_back(Box().GetText(i));
        return all;
    }
    void KeyTo(HWND window, WPARAM key, UINT message = WM_KEYDOWN) {
        ::vq::SendMessage(window, message, key, 1);
        OffscreenHarness::RunUntilIdle();
    }
    void Char(HWND window, char c) {
        ::vq::SendMessage(window, WM_CHAR, WPARAM(std::uint8_t(c)), 1);
        OffscreenHarness::RunUntilIdle();
    }
    HWND Edit() const { return editor->GetEdit() ? editor->GetEdit()->m_hWnd : 0; }
    POINT RowPoint(int index, std::int32_t dy = 0) const {
        RECT r;
        Box().GetItemRect(index, &r);
        return POINT{r.left + 10, (r.top + r.bottom) / 2 + dy};
    }
    void ClickRow(int index) {
        const POINT p = RowPoint(index);
        ::vq::SendMessage(List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        ::vq::SendMessage(List(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        OffscreenHarness::RunUntilIdle();
    }

    // The application's loop: each window on the way up sees the message before it is handled.
    static void Pump() {
        MSG msg;
        do {
            // Qt's events only: the messages they post go through the loop below.
            OffscreenHarness::RunUntilIdle(0);
            while (PeekMessage(&msg, 0, 0, 0, PM_REMOVE)) {
                if (CWnd::WalkPreTranslateTree(0, &msg)) continue;
                TranslateMessage(&msg);
                DispatchMessage(&msg);
            }
            OffscreenHarness::RunUntilIdle(0);
        } while (PeekMessage(&msg, 0, 0, 0, PM_NOREMOVE));
    }
    // A key pressed and released on the keyboard, as the window with the focus receives it.
    static void Press(int qtKey, const QString& text = {}, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        OffscreenHarness::Key(qtKey, modifiers, text, true);
        Pump();
        OffscreenHarness::Key(qtKey, modifiers, text, false);
        Pump();
    }
    static void Type(const std::string& text) {
        for (const char c : text)
            Press(c == ' ' ? int(Qt::Key_Space) : int(Qt::Key_A) + (c - 'a'), QString(QChar(c)));
    }

    ManualMonotonicClock clock{1'000'000'000};
    RecordingDialog dialog;
    std::unique_ptr<GuardedEditor> editor;
    RECT listBefore{};
};

TEST_F(ListEditorTest, InitializePlacesTheHeaderOverTheListAndKeepsTheTabOrder) {
    ASSERT_TRUE(dialog.CreateDlg(IDD_LISTEDITOR, nullptr));
    for (const char* e : {"alpha", "beta", "gamma"})
        ::vq::SendMessage(List(), LB_ADDSTRING, 0, LPARAM(e));
    GetWindowRect(List(), &listBefore);
    editor = std::make_unique<GuardedEditor>();
    EXPECT_FALSE(editor->Initialize(&dialog, 9999, kAll)) << "no such list box";
    ASSERT_TRUE(editor->Initialize(&dialog, IDC_LE_LIST, kAll));
    EXPECT_TRUE(dialog.codes.empty()) << "the selection notice is posted";
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(dialog.codes, std::vector<UINT>{LBN_SELCHANGE});

    RECT header, list;
    GetWindowRect(editor->m_hWnd, &header);
    GetWindowRect(List(), &list);
    EXPECT_EQ(header.top, listBefore.top);
    EXPECT_EQ(header.Height(), editor->GetHeaderHeight());
    EXPECT_GE(header.Height(), 22);
    EXPECT_EQ(list.top, listBefore.top + header.Height() + 2 * GetSystemMetrics(SM_CYBORDER));
    EXPECT_EQ(list.bottom, listBefore.bottom);
    EXPECT_EQ(editor->GetDlgCtrlID(), 0x7FFFu);

    const HWND edit = ::vq::GetDlgItem(dialog.m_hWnd, IDC_LE_EDIT);
    const HWND button = ::vq::GetDlgItem(dialog.m_hWnd, IDC_LE_BUTTON);
    EXPECT_EQ(GetNextDlgTabItem(dialog.m_hWnd, edit, FALSE), List());
    EXPECT_EQ(GetNextDlgTabItem(dialog.m_hWnd, List(), FALSE), button);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"alpha", "beta", "gamma", ""}));
}

TEST_F(ListEditorTest, HeaderDrawsCaptionAndPictureButtons) {
    Open(kAll);
    const HWND header = editor->m_hWnd;
    const RECT newButton = editor->GetButtonRect(TkListBoxEditor::newButton);
    const RECT downButton = editor->GetButtonRect(TkListBoxEditor::downButton);
    RECT client;
    GetClientRect(header, &client);
    EXPECT_EQ(downButton.right, client.right) << "buttons run from the right";
    EXPECT_LT(newButton.left, downButton.left);
    // The static edge takes one pixel: client coordinates start one in.
    auto at = [&](std::int32_t x, std::int32_t y) { return OffscreenHarness::Pixel(header, x + 1, y + 1); };
    EXPECT_EQ(at(newButton.left - 4, 1), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(at(newButton.left, newButton.top + 5), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(at(newButton.left + 5, newButton.top), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(at(newButton.left + 16, newButton.top + 2), RGB(0xFF, 0xFF, 0)) << "the New picture's spark";
    int captionPixels = 0;
    for (std::int32_t x = 0; x < 60; ++x)
        for (std::int32_t y = 2; y < client.bottom - 2; ++y)
            captionPixels += at(x, y) == GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_GT(captionPixels, 10);
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(dialog.m_hWnd, test::TestPath("VQ_TEST_OUTPUT_DIR") + "/list-editor.png"));

    const int index = COLOR_BTNFACE;
    const COLORREF oldFace = GetSysColor(COLOR_BTNFACE);
    const COLORREF newFace = RGB(0xA0, 0xB0, 0xC0);
    SetSysColors(1, &index, &newFace);
    InvalidateRect(header, nullptr, TRUE);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(at(newButton.left + 3, newButton.top + 3), newFace) << "the picture's grey follows the face";
    SetSysColors(1, &index, &oldFace);
}

TEST_F(ListEditorTest, TypingOnTheBlankRowAddsAnEntryAndANewBlankRow) {
    Open(kAll | ListEditorEditOnChar);
    Box().SetCurSel(3);
    SetFocus(List());
    Char(List(), 'a');
    ASSERT_TRUE(Edit());
    int start = 0, end = 0;
    editor->GetEdit()->GetSel(start, end);
    EXPECT_EQ(editor->GetEdit()->GetWindowText(), "a");
    EXPECT_EQ(start, 1);
    EXPECT_EQ(end, 1);
    editor->GetEdit()->ReplaceSel("bc");
    KeyTo(Edit(), VK_RETURN);
    EXPECT_FALSE(Edit());
    EXPECT_EQ(Entries(), (std::vector<std::string>{"alpha", "beta", "gamma", "abc", ""}));

    // Escape on the blank row leaves it blank.
    Box().SetCurSel(4);
    ::vq::SendMessage(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(RowPoint(4).x, RowPoint(4).y));
    ASSERT_TRUE(Edit());
    editor->GetEdit()->ReplaceSel("zzz");
    KeyTo(Edit(), VK_ESCAPE);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"alpha", "beta", "gamma", "abc", ""}));
}

TEST_F(ListEditorTest, KeyboardInputEditsAddsAndMovesOn) {
    Open(kAll | ListEditorEditOnChar);
    Box().SetCurSel(3);
    SetFocus(List());
    Type("abc");
    ASSERT_TRUE(Edit());
    Press(Qt::Key_Return);
    EXPECT_FALSE(Edit());
    EXPECT_EQ(Entries(), (std::vector<std::string>{"alpha", "beta", "gamma", "abc", ""}));

    // Escape on the blank row leaves it blank; Insert then Escape, or blanks and Enter, add nothing.
    Box().SetCurSel(4);
    Type("z");
    Press(Qt::Key_Escape);
    Press(Qt::Key_Insert);
    ASSERT_TRUE(Edit());
    Press(Qt::Key_Escape);
    Press(Qt::Key_Insert);
    Type("  ");
    Press(Qt::Key_Return);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"alpha", "beta", "gamma", "abc", ""}));
    EXPECT_EQ(GetFocus(), List());

    // A character on an entry starts an edit holding it, the caret after it; Down commits and
    // moves the selection on.
    Box().SetCurSel(0);
    Type("x");
    ASSERT_TRUE(Edit());
    int start = 0, end = 0;
    editor->GetEdit()->GetSel(start, end);
    EXPECT_EQ(editor->GetEdit()->GetWindowText(), "x");
    EXPECT_EQ(std::pair(start, end), std::pair(1, 1));
    Press(Qt::Key_Down);
    EXPECT_FALSE(Edit());
    EXPECT_EQ(Box().GetText(0), "x");
    EXPECT_EQ(Box().GetCurSel(), 1);

    // Shift+Tab commits and goes to the edit before the list box with its text selected.
    SetWindowText(::vq::GetDlgItem(dialog.m_hWnd, IDC_LE_EDIT), "host");
    Type("y");
    OffscreenHarness::Key(Qt::Key_Shift, Qt::ShiftModifier, "", true);
    Press(Qt::Key_Backtab, {}, Qt::ShiftModifier);
    OffscreenHarness::Key(Qt::Key_Shift, Qt::NoModifier, "", false);
    Pump();
    EXPECT_FALSE(Edit());
    EXPECT_EQ(Box().GetText(1), "y");
    const HWND before = ::vq::GetDlgItem(dialog.m_hWnd, IDC_LE_EDIT);
    EXPECT_EQ(GetFocus(), before);
    const auto selection = ::vq::SendMessage(before, EM_GETSEL, 0, 0);
    EXPECT_EQ(std::pair(int(LOWORD(selection)), int(HIWORD(selection))), std::pair(0, 4));

    // With space advance 2 the first Space past the text is text, the second commits and moves on.
    editor->SetSpaceAdvance(TRUE);
    editor->SetSpaceAdvanceCount(2);
    SetFocus(List());
    Box().SetCurSel(2);
    Type("g");
    Type(" ");
    EXPECT_TRUE(Edit());
    Type(" ");
    EXPECT_FALSE(Edit());
    EXPECT_EQ(Box().GetText(2), "g ");
    EXPECT_EQ(GetFocus(), ::vq::GetDlgItem(dialog.m_hWnd, IDC_LE_BUTTON));
}

TEST_F(ListEditorTest, NewEntriesThatEndEmptyAreNotAdded) {
    Open(kAll);
    SetFocus(List());
    KeyTo(List(), VK_INSERT);
    ASSERT_TRUE(Edit());
    KeyTo(Edit(), VK_ESCAPE);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"alpha", "beta", "gamma", ""}));

    KeyTo(List(), VK_INSERT);
    ASSERT_TRUE(Edit());
    editor->GetEdit()->ReplaceSel("   ");
    KeyTo(Edit(), VK_RETURN);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"alpha", "beta", "gamma", ""}));

    KeyTo(List(), VK_INSERT);
    editor->GetEdit()->ReplaceSel("delta");
    KeyTo(Edit(), VK_RETURN);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"alpha", "beta", "gamma", "delta", ""}));
}

TEST_F(ListEditorTest, EditingKeysCommitAndMoveOn) {
    Open(kAll);
    Box().SetCurSel(0);
    ::vq::SendMessage(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(RowPoint(0).x, RowPoint(0).y));
    ASSERT_TRUE(Edit());
    editor->GetEdit()->SetSel(0, -1);
    editor->GetEdit()->ReplaceSel("ALPHA");
    KeyTo(Edit(), VK_DOWN);
    EXPECT_EQ(Box().GetText(0), "ALPHA");
    EXPECT_EQ(Box().GetCurSel(), 1) << "Down committed and moved the selection";

    ::vq::SendMessage(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(RowPoint(1).x, RowPoint(1).y));
    ASSERT_TRUE(Edit());
    KeyTo(Edit(), VK_TAB);
    EXPECT_FALSE(Edit());
    EXPECT_EQ(GetFocus(), ::vq::GetDlgItem(dialog.m_hWnd, IDC_LE_BUTTON));

    // A double click always edits; a second Space past the text commits with space advance 2.
    editor->SetSpaceAdvance(TRUE);
    editor->SetSpaceAdvanceCount(2);
    Box().SetCurSel(2);
    ::vq::SendMessage(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(RowPoint(2).x, RowPoint(2).y));
    ASSERT_TRUE(Edit());
    editor->GetEdit()->SetSel(5, 5);
    Char(Edit(), ' ');
    EXPECT_TRUE(Edit()) << "one Space past the text is still text";
    editor->GetEdit()->ReplaceSel(" ");
    Char(Edit(), ' ');
    EXPECT_FALSE(Edit());
}

TEST_F(ListEditorTest, DeleteAndMoveKeysNotifyTheDialog) {
    Open(kAll);
    SetFocus(List());
    Box().SetCurSel(1);
    KeyTo(List(), VK_DELETE);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"alpha", "gamma", ""}));
    EXPECT_EQ(editor->GetLastIndex(), 1);
    EXPECT_NE(std::find(dialog.codes.begin(), dialog.codes.end(), UINT(ListEditorItemDeleted)), dialog.codes.end());

    dialog.codes.clear();
    Box().SetCurSel(2);
    KeyTo(List(), VK_DELETE);
    EXPECT_EQ(Entries().size(), 3u) << "the blank row stays";
    EXPECT_TRUE(dialog.codes.empty());

    Box().SetCurSel(1);
    KeyTo(List(), VK_UP, WM_SYSKEYDOWN);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"gamma", "alpha", ""}));
    EXPECT_EQ(std::pair(editor->GetLastIndex(), editor->GetMovedToIndex()), std::pair(1, 0));
    EXPECT_EQ(dialog.codes.back(), UINT(ListEditorItemMoved));

    Box().SetCurSel(1);
    dialog.codes.clear();
    KeyTo(List(), VK_DOWN, WM_SYSKEYDOWN);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"gamma", "alpha", ""})) << "nothing moves below the blank row";
    EXPECT_TRUE(dialog.codes.empty());
}

TEST_F(ListEditorTest, ExtendedSelectionDeletesAllSelectedButBlankAndGuarded) {
    Open(kAll, IDD_LISTEDITOR_EXTENDED, {"one", "keep me", "three"});
    for (int i = 0; i < 4; ++i)
        Box().SetSel(i, TRUE);
    SetFocus(List());
    KeyTo(List(), VK_DELETE);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"keep me", "three", ""})) << "stops at the refused entry";
    Box().SetSel(-1, FALSE);
    Box().SetSel(1, TRUE);
    Box().SetSel(2, TRUE);
    KeyTo(List(), VK_DELETE);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"keep me", ""}));
}

TEST_F(ListEditorTest, ClickingAnotherEntryCommitsTheEditFirst) {
    // Without dragging the click returns at once; a drag would wait for the button to come up.
    Open(kAll & ~DWORD(ListEditorDrag));
    Box().SetCurSel(0);
    ::vq::SendMessage(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(RowPoint(0).x, RowPoint(0).y));
    ASSERT_TRUE(Edit());
    editor->GetEdit()->SetSel(0, -1);
    editor->GetEdit()->ReplaceSel("first");
    dialog.codes.clear();
    ClickRow(2);
    EXPECT_FALSE(Edit());
    EXPECT_EQ(Box().GetText(0), "first");
    EXPECT_EQ(Box().GetCurSel(), 2);
    EXPECT_EQ(dialog.codes.back(), UINT(LBN_SELCHANGE));
}

TEST_F(ListEditorTest, HeaderButtonActsOnlyWhenReleasedOverIt) {
    Open(kAll);
    const RECT newRect = editor->GetButtonRect(TkListBoxEditor::newButton);
    const LPARAM inside = MAKELPARAM(newRect.left + 5, newRect.top + 5);
    std::thread driver([&] {
        HWND window = 0;
        while (!(window = TkFakeButton::ActiveWindow()))
            std::this_thread::yield();
        ::vq::PostMessage(window, WM_MOUSEMOVE, 0, MAKELPARAM(200, 200));
        ::vq::PostMessage(window, WM_LBUTTONUP, 0, MAKELPARAM(200, 200));
    });
    ::vq::SendMessage(editor->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    driver.join();
    EXPECT_FALSE(Edit()) << "released off the button";

    std::thread releaser([&] {
        HWND window = 0;
        while (!(window = TkFakeButton::ActiveWindow()))
            std::this_thread::yield();
        ::vq::PostMessage(window, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    });
    ::vq::SendMessage(editor->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    releaser.join();
    EXPECT_TRUE(Edit()) << "New edits a new entry";
    KeyTo(Edit(), VK_ESCAPE);

    std::thread canceller([&] {
        HWND window = 0;
        while (!(window = TkFakeButton::ActiveWindow()))
            std::this_thread::yield();
        ::vq::PostMessage(window, WM_CANCELMODE, 0, 0);
    });
    ::vq::SendMessage(editor->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    canceller.join();
    EXPECT_FALSE(Edit()) << "a lost capture ends the press without action";
}

TEST_F(ListEditorTest, HoveringAButtonShowsItsTip) {
    Open(kAll);
    const auto shownTips = test::ShownTips;
    const RECT deleteRect = editor->GetButtonRect(TkListBoxEditor::deleteButton);
    POINT over{deleteRect.left + 5, deleteRect.top + 5};
    ClientToScreen(editor->m_hWnd, &over);
    OffscreenHarness::MouseMove(over);
    Pump();
    EXPECT_TRUE(shownTips().empty()) << "not before the pointer rested";
    clock.AdvanceMilliseconds(600);
    Pump();
    EXPECT_EQ(shownTips(), std::vector<std::string>{"Delete (Delete)"});
}

TEST_F(ListEditorTest, DragMovesAnEntryHeldLongEnough) {
    Open(kAll);
    const POINT source = RowPoint(2);
    const POINT target = RowPoint(0, -3);
    POINT screenTarget = target;
    ClientToScreen(List(), &screenTarget);
    Box().SetCurSel(2);
    std::thread driver([&] {
        HWND window = 0;
        while (!(window = TkListBoxDragWnd::ActiveWindow()))
            std::this_thread::yield();
        clock.AdvanceMilliseconds(300);
        ::vq::PostMessage(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(screenTarget.x, screenTarget.y));
        ::vq::PostMessage(window, WM_LBUTTONUP, 0, MAKELPARAM(screenTarget.x, screenTarget.y));
    });
    ::vq::SendMessage(List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(source.x, source.y));
    driver.join();
    EXPECT_EQ(Entries(), (std::vector<std::string>{"gamma", "alpha", "beta", ""}));
    ASSERT_EQ(editor->moves.size(), 1u);
    EXPECT_EQ(editor->moves[0], std::pair(2, 0));
    EXPECT_EQ(editor->movedText, "gamma");
    EXPECT_TRUE(editor->movedByDrag);
    EXPECT_EQ(Box().GetCurSel(), 0);

    // Onto the lower half of the last entry: it goes below it, above the blank row.
    Box().SetCurSel(0);
    const LPARAM lowerHalf = ScreenParam(List(), RowPoint(2, 3));
    DragFrom(List(), RowPoint(0), [&](HWND window) {
        clock.AdvanceMilliseconds(300);
        ::vq::PostMessage(window, WM_MOUSEMOVE, MK_LBUTTON, lowerHalf);
        ::vq::PostMessage(window, WM_LBUTTONUP, 0, lowerHalf);
    });
    EXPECT_EQ(Entries(), (std::vector<std::string>{"alpha", "beta", "gamma", ""}));
    EXPECT_EQ(editor->moves.back(), std::pair(0, 2));
    EXPECT_EQ(Box().GetCurSel(), 2);

    // Released too soon: nothing moves.
    Box().SetCurSel(0);
    std::thread early([&] {
        HWND window = 0;
        while (!(window = TkListBoxDragWnd::ActiveWindow()))
            std::this_thread::yield();
        clock.AdvanceMilliseconds(200);
        POINT below = RowPoint(2, 3);
        ClientToScreen(List(), &below);
        ::vq::PostMessage(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(below.x, below.y));
        ::vq::PostMessage(window, WM_LBUTTONUP, 0, MAKELPARAM(below.x, below.y));
    });
    const POINT first = RowPoint(0);
    ::vq::SendMessage(List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(first.x, first.y));
    early.join();
    EXPECT_EQ(Entries(), (std::vector<std::string>{"alpha", "beta", "gamma", ""}));
}

TEST_F(ListEditorTest, HeldBelowTheListItScrollsEverFaster) {
    std::vector<std::string> names;
    for (int i = 0; i < 30; ++i)
        names.push_back("entry " + std::to_string(i));
    std::vector<const char*> entries;
    for (const std::string& n : names)
        entries.push_back(n.c_str());
    Open(kAll, IDD_LISTEDITOR, entries);
    Probe probe;
    RECT client;
    GetClientRect(List(), &client);
    const LPARAM below = ScreenParam(List(), {20, client.bottom + 10});
    Box().SetCurSel(0);
    // The top entry after each probe, and when a mouse move or a tick alone moved it.
    std::vector<int> tops;
    const auto look = [&] { probe.Run([&] { tops.push_back(Box().GetTopIndex()); }); };
    const std::vector<int> intervals{300, 250, 200, 150, 100, 50, 50};
    DragFrom(List(), RowPoint(0), [&](HWND window) {
        clock.AdvanceMilliseconds(300);
        ::vq::PostMessage(window, WM_MOUSEMOVE, MK_LBUTTON, below);
        look();
        for (const int interval : intervals) {
            clock.AdvanceMilliseconds(interval);
            ::vq::PostMessage(window, WM_MOUSEMOVE, MK_LBUTTON, below);
            look();
            clock.AdvanceMilliseconds(1);
            ::vq::PostMessage(window, WM_MOUSEMOVE, MK_LBUTTON, below);
            look();
        }
        // Held still, the window's own ticks go on scrolling.
        clock.AdvanceMilliseconds(60);
        look();
        ::vq::PostMessage(window, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    std::vector<int> expected{0};
    for (std::size_t i = 0; i < intervals.size(); ++i) {
        expected.push_back(int(i));
        expected.push_back(int(i) + 1);
    }
    expected.push_back(int(intervals.size()) + 1);
    EXPECT_EQ(tops, expected);
    EXPECT_EQ(Box().GetText(0), "entry 0") << "Escape moved nothing";
}

TEST_F(ListEditorTest, AnUnfinishedDragMovesNothingAndLeavesNoLine) {
    struct Case {
        const char* what;
        int held;
        // Where the mouse goes: the lower half of row 2, or just off the start.
        bool far;
        std::function<void(HWND, Probe&)> end;
    };
    const std::vector<Case> cases{
        {"released after 200 ms", 200, true,
         [](HWND w, Probe&) { ::vq::PostMessage(w, WM_LBUTTONUP, 0, 0); }},
        {"released inside the double-click rectangle", 300, false,
         [](HWND w, Probe&) { ::vq::PostMessage(w, WM_LBUTTONUP, 0, 0); }},
        {"Escape", 300, true, [](HWND w, Probe&) { ::vq::PostMessage(w, WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"the capture taken by another window", 300, true,
         [this](HWND, Probe& probe) { probe.Run([this] { SetCapture(dialog.m_hWnd); }); }},
    };
    Open(kAll);
    Probe probe;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Box().SetCurSel(0);
        OffscreenHarness::RunUntilIdle();
        const QImage before = OffscreenHarness::Composite(List());
        QImage during;
        const POINT start = RowPoint(0);
        const LPARAM to = ScreenParam(List(), c.far ? RowPoint(2, 3) : POINT{start.x + 1, start.y + 1});
        DragFrom(List(), start, [&](HWND window) {
            clock.AdvanceMilliseconds(c.held);
            ::vq::PostMessage(window, WM_MOUSEMOVE, MK_LBUTTON, to);
            probe.Run([&] { during = OffscreenHarness::Composite(List()); });
            c.end(window, probe);
        });
        ReleaseCapture();
        OffscreenHarness::RunUntilIdle();
        EXPECT_EQ(Entries(), (std::vector<std::string>{"alpha", "beta", "gamma", ""}));
        EXPECT_NE(during, before) << "the insertion line showed";
        EXPECT_EQ(OffscreenHarness::Composite(List()), before) << "and is gone";
    }
}

// Answers the pickers from the test and keeps what they were asked.
class ScriptedPickers : public CommonDialogProvider {
public:
    std::optional<std::string> file, folder;
    std::vector<FileRequest> fileRequests;
    std::vector<std::string> folderStarts;

    std::optional<std::string> PickFile(HWND, const FileRequest& request) override {
        fileRequests.push_back(request);
        return file;
    }
    std::optional<COLORREF> PickColour(HWND, ColourRequest&) override { return std::nullopt; }
    std::optional<std::string> PickFolder(HWND, const std::string&, const std::string& start) override {
        folderStarts.push_back(start);
        return folder;
    }
};

TEST_F(ListEditorTest, BrowsingEditorsFillTheEditFromThePickers) {
    ScriptedPickers pickers;
    CommonDialogProvider* previous = SetCommonDialogProvider(&pickers);
    const std::string start = std::filesystem::temp_directory_path().string();
    const std::string chosen = (std::filesystem::temp_directory_path() / "vq-list-editor-chosen").string();
    std::filesystem::create_directories(chosen);
    // The folder picker gives folders with their separator.
    const std::string shown = chosen + "/";

    ASSERT_TRUE(dialog.CreateDlg(IDD_LISTEDITOR, nullptr));
    ::vq::SendMessage(List(), LB_ADDSTRING, 0, LPARAM(start.c_str()));
    TkDirListBoxEditor folders;
    ASSERT_TRUE(folders.Initialize(&dialog, IDC_LE_LIST, ListEditorKeys));
    EXPECT_TRUE(folders.GetFlags() & ListEditorBrowse);
    folders.GetListBox()->SetCurSel(0);
    SetFocus(List());
    KeyTo(List(), VK_F2);
    ASSERT_TRUE(folders.GetEdit() && folders.GetBrowseButton());
    pickers.folder = chosen;
    ::vq::SendMessage(List(), WM_COMMAND, kListEditorBrowseId, LPARAM(folders.GetBrowseButton()->m_hWnd));
    ASSERT_EQ(pickers.folderStarts.size(), 1u);
    EXPECT_EQ(pickers.folderStarts[0], start);
    EXPECT_EQ(folders.GetEdit()->GetWindowText(), shown);
    int from = 0, to = 0;
    folders.GetEdit()->GetSel(from, to);
    EXPECT_EQ(std::pair(from, to), std::pair(0, int(shown.size())));
    EXPECT_EQ(GetFocus(), folders.GetEdit()->m_hWnd);
    pickers.folder.reset();
    KeyTo(folders.GetEdit()->m_hWnd, VK_F2);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(folders.GetEdit()->GetWindowText(), shown) << "cancelling changes nothing";
    KeyTo(folders.GetEdit()->m_hWnd, VK_RETURN);
    EXPECT_EQ(folders.GetListBox()->GetText(0), shown);
    folders.DestroyWindow();
    dialog.DestroyWindow();

    ASSERT_TRUE(dialog.CreateDlg(IDD_LISTEDITOR, nullptr));
    ::vq::SendMessage(List(), LB_ADDSTRING, 0, LPARAM("report.txt"));
    TkFileListBoxEditor files;
    files.SetFilter("Logs (*.log)|*.log|All files (*.*)|*.*||");
    files.SetDefaultExtension("log");
    ASSERT_TRUE(files.Initialize(&dialog, IDC_LE_LIST, ListEditorKeys));
    files.GetListBox()->SetCurSel(0);
    SetFocus(List());
    KeyTo(List(), VK_F2);
    ASSERT_TRUE(files.GetEdit());
    pickers.file = "/var/log/picked.log";
    ::vq::SendMessage(List(), WM_COMMAND, kListEditorBrowseId, LPARAM(files.GetBrowseButton()->m_hWnd));
    ASSERT_EQ(pickers.fileRequests.size(), 1u);
    EXPECT_EQ(pickers.fileRequests[0].fileName, "report.txt");
    EXPECT_EQ(pickers.fileRequests[0].filters.size(), 2u);
    EXPECT_EQ(files.GetEdit()->GetWindowText(), "/var/log/picked.log");
    files.DestroyWindow();
    SetCommonDialogProvider(previous);
    std::filesystem::remove(chosen);
}

TEST(ListBoxDragTiming, ScrollTimingRefusesInconsistentValues) {
    CListBox list;
    TkListBoxDragWnd drag(&list, TRUE);
    struct Case {
        UINT initial, minimum, step;
        bool ok;
    };
    const Case cases[] = {{300, 50, 50, true}, {100, 100, 0, true}, {100, 150, 10, false}, {300, 50, 251, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.initial << "/" << c.minimum << "/" << c.step);
        EXPECT_EQ(bool(drag.SetScrollTiming(c.initial, c.minimum, c.step)), c.ok);
    }
}

} // namespace
} // namespace vq

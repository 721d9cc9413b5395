#include "toolkit/lists/TkListBoxEditor.h"

#include "platform/gui/DialogManager.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Messages.h"
#include "platform/gui/Static.h"
#include "platform/gui/SystemColours.h"
#include "toolkit/lists/TkFakeButton.h"
#include "toolkit/lists/TkListBoxDragWnd.h"
#include "toolkit/lists/TkListBoxEditorResources.h"

#include <algorithm>
#include <strings.h>

namespace vq {

namespace {

constexpr UINT kHighestId = 0x7FFF;
constexpr std::int32_t kBitmapPadding = 2;

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string::npos;
}

// The pressed look of a header button: the picture one pixel down and right, framed outside with
// highlight (right, bottom) and dark shadow (left, top), inside with face and shadow.
HBITMAP MakePressedPicture(HBITMAP normal) {
    BITMAP bm{};
    if (!normal || !GetObject(normal, sizeof bm, &bm)) return nullptr;
    const std::int32_t w = bm.bmWidth, h = bm.bmHeight;
    HDC screen = GetDC(0);
    HBITMAP pressed = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(0, screen);
    HDC source = CreateCompatibleDC(nullptr);
    HDC target = CreateCompatibleDC(nullptr);
    HGDIOBJ oldSource = SelectObject(source, normal);
    HGDIOBJ oldTarget = SelectObject(target, pressed);
    const RECT all{0, 0, w, h};
    FillRect(target, &all, GetSysColorBrush(COLOR_BTNFACE));
    BitBlt(target, 1, 1, w - 1, h - 1, source, 0, 0, SRCCOPY);
    auto line = [&](int colour, RECT r) { FillRect(target, &r, GetSysColorBrush(colour)); };
    line(COLOR_3DDKSHADOW, {0, 0, w, 1});
    line(COLOR_3DDKSHADOW, {0, 0, 1, h});
    line(COLOR_BTNHIGHLIGHT, {0, h - 1, w, h});
    line(COLOR_BTNHIGHLIGHT, {w - 1, 0, w, h});
    line(COLOR_BTNSHADOW, {1, 1, w - 1, 2});
    line(COLOR_BTNSHADOW, {1, 1, 2, h - 1});
    line(COLOR_BTNFACE, {1, h - 2, w - 1, h - 1});
    line(COLOR_BTNFACE, {w - 2, 1, w - 1, h - 1});
    SelectObject(source, oldSource);
    SelectObject(target, oldTarget);
    DeleteDC(source);
    DeleteDC(target);
    return pressed;
}

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(TkListBoxEditor, CWnd)

TkListBoxEditor::TkListBoxEditor() = default;

TkListBoxEditor::~TkListBoxEditor() {
    if (m_edit && m_edit->m_hWnd) m_edit->DestroyWindow();
    if (m_listBox && m_listBox->m_hWnd) m_listBox->UnsubclassWindow();
}

HBITMAP TkListBoxEditor::LoadButtonBitmap(int button) {
    if (!ListEditorResourcesPresent()) return nullptr;
    return LoadImage(nullptr, MAKEINTRESOURCE(kFirstBitmapId + UINT(button)), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS);
}

BOOL TkListBoxEditor::InitializeById(UINT id, CWnd* parent, DWORD flags) {
    return Initialize(parent, id, flags);
}

BOOL TkListBoxEditor::Initialize(CWnd* parent, UINT id, DWORD flags) {
    if (!parent || m_initialised) return FALSE;
    const HWND list = ::vq::GetDlgItem(parent->m_hWnd, int(id));
    if (!list) return FALSE;
    m_flags = flags;
    UINT editorId = kHighestId;
    while (editorId > 0 && ::vq::GetDlgItem(parent->m_hWnd, int(editorId)))
        --editorId;
    if (!CreateEx(0, "Static", "", WS_CHILD | SS_SUNKEN, RECT{}, parent, editorId)) return FALSE;
    SendMessage(WM_SETFONT, WPARAM(parent->SendMessage(WM_GETFONT)), 0);
    m_headerHeight = GetHeaderHeight();

    RECT listRect;
    GetWindowRect(list, &listRect);
    POINT topLeft{listRect.left, listRect.top}, bottomRight{listRect.right, listRect.bottom};
    ScreenToClient(parent->m_hWnd, &topLeft);
    ScreenToClient(parent->m_hWnd, &bottomRight);
    const std::int32_t gap = 2 * GetSystemMetrics(SM_CYBORDER);
    // The editor takes the list box's place in the sibling order, the list box follows it.
    const HWND before = GetWindow(list, GW_HWNDPREV);
    SetWindowPos(m_hWnd, before ? before : HWND_TOP, topLeft.x, topLeft.y, bottomRight.x - topLeft.x, m_headerHeight,
                 SWP_NOACTIVATE | (before ? 0u : UINT(SWP_NOZORDER)));
    if (!before) SetWindowPos(m_hWnd, GetWindow(list, GW_HWNDPREV), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(list, m_hWnd, topLeft.x, topLeft.y + m_headerHeight + gap, bottomRight.x - topLeft.x,
                 std::max<std::int32_t>(0, bottomRight.y - topLeft.y - m_headerHeight - gap), SWP_NOACTIVATE);

    SetButtons(flags);
    m_listBox = std::make_unique<TkListBoxEditorHelper>(this);
    m_listBox->SubclassWindow(list);
    LayoutButtons();
    if ((flags & ListEditorButtons) && (flags & ListEditorToolTips)) {
        m_toolTips = std::make_unique<CToolTipCtrl>();
        if (m_toolTips->Create(this, TTS_ALWAYSTIP)) {
            for (int i = 0; i < 4; ++i)
                if (m_buttonExists[size_t(i)])
                    m_toolTips->AddTool(this, kFirstTipId + UINT(i), &m_buttonRects[size_t(i)], std::uintptr_t(i + 1));
            m_toolTips->Activate(TRUE);
        }
    }
    AppendBlankRowIfNeeded();
    NotifySelChange();
    ShowWindow(m_hWnd, SW_SHOW);
    m_initialised = TRUE;
    return TRUE;
}

void TkListBoxEditor::AppendBlankRowIfNeeded() {
    if (!UsesBlankRow() || !m_listBox) return;
    const int count = m_listBox->GetCount();
    if (count == 0 || !m_listBox->GetText(count - 1).empty()) m_listBox->AddString("");
}

BOOL TkListBoxEditor::IsBlankRow(int index) const {
    if (!UsesBlankRow() || !m_listBox) return FALSE;
    const int count = m_listBox->GetCount();
    return index == count - 1 && m_listBox->GetText(index).empty();
}

void TkListBoxEditor::SetSpaceAdvance(BOOL advance) {
    m_spaceAdvance = advance;
}

void TkListBoxEditor::SetSpaceAdvanceCount(int count) {
    m_spaceAdvanceCount = count;
}

std::int32_t TkListBoxEditor::GetHeaderHeight() {
    TEXTMETRIC tm{};
    HDC dc = GetDC(m_hWnd);
    HGDIOBJ old = SelectObject(dc, HFONT(SendMessage(WM_GETFONT)) ? HGDIOBJ(HFONT(SendMessage(WM_GETFONT)))
                                                                   : GetStockObject(DEFAULT_GUI_FONT));
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(m_hWnd, dc);
    std::int32_t height = tm.tmHeight + 4 * GetSystemMetrics(SM_CYBORDER);
    for (int i = 0; i < 4; ++i) {
        HBITMAP bitmap = LoadButtonBitmap(i);
        BITMAP bm{};
        if (bitmap && GetObject(bitmap, sizeof bm, &bm)) height = std::max(height, bm.bmHeight + kBitmapPadding);
        if (bitmap) DeleteObject(bitmap);
    }
    return height;
}

void TkListBoxEditor::SetButtons(DWORD flags) {
    for (int i = 0; i < 4; ++i)
        m_buttonExists[size_t(i)] = (flags & (ListEditorNewButton << i)) != 0;
}

void TkListBoxEditor::LayoutButtons() {
    RECT client;
    GetClientRect(m_hWnd, &client);
    std::int32_t right = client.right;
    for (int i = 3; i >= 0; --i) {
        m_buttonRects[size_t(i)] = RECT{};
        if (!m_buttonExists[size_t(i)]) continue;
        HBITMAP bitmap = LoadButtonBitmap(i);
        BITMAP bm{};
        if (bitmap) GetObject(bitmap, sizeof bm, &bm);
        if (bitmap) DeleteObject(bitmap);
        m_buttonRects[size_t(i)] = RECT{right - bm.bmWidth, 0, right, m_headerHeight};
        right -= bm.bmWidth;
    }
}

void TkListBoxEditor::UpdateToolTips() {
    if (!m_toolTips || !m_toolTips->m_hWnd) return;
    for (int i = 0; i < 4; ++i)
        if (m_buttonExists[size_t(i)])
            m_toolTips->SetToolRect(this, std::uintptr_t(i + 1), m_buttonRects[size_t(i)]);
}

void TkListBoxEditor::RecalcLayout() {
    if (m_inLayout || !m_listBox) return;
    RECT window;
    GetWindowRect(m_hWnd, &window);
    m_inLayout = TRUE;
    if (window.Height() > m_headerHeight) {
        const HWND parent = ::vq::GetParent(m_hWnd);
        POINT topLeft{window.left, window.top};
        ScreenToClient(parent, &topLeft);
        const std::int32_t gap = 2 * GetSystemMetrics(SM_CYBORDER);
        SetWindowPos(m_hWnd, HWND_TOP, topLeft.x, topLeft.y, window.Width(), m_headerHeight, SWP_NOACTIVATE);
        SetWindowPos(m_listBox->m_hWnd, m_hWnd, topLeft.x, topLeft.y + m_headerHeight + gap, window.Width(),
                     window.Height() - m_headerHeight - gap, SWP_NOACTIVATE);
    }
    LayoutButtons();
    UpdateToolTips();
    InvalidateRect(m_hWnd, nullptr, TRUE);
    InvalidateRect(m_listBox->m_hWnd, nullptr, TRUE);
    m_inLayout = FALSE;
}

void TkListBoxEditor::PaintHeader(HDC dc) {
    RECT client;
    GetClientRect(m_hWnd, &client);
    const RECT fill{client.left, client.top, client.right, client.bottom - 2};
    FillRect(dc, &fill, GetSysColorBrush(COLOR_BTNFACE));
    const std::string caption = GetWindowText();
    if (!caption.empty()) {
        HGDIOBJ old = SelectObject(dc, HFONT(SendMessage(WM_GETFONT)) ? HGDIOBJ(HFONT(SendMessage(WM_GETFONT)))
                                                                       : GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        RECT text{client.left + 2 * GetSystemMetrics(SM_CXBORDER), client.top, client.right, fill.bottom};
        DrawText(dc, caption.c_str(), int(caption.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
        SelectObject(dc, old);
    }
    if (!(m_flags & ListEditorButtons)) return;
    HDC memory = CreateCompatibleDC(dc);
    for (int i = 0; i < 4; ++i) {
        if (!m_buttonExists[size_t(i)]) continue;
        HBITMAP bitmap = LoadButtonBitmap(i);
        if (!bitmap) continue;
        BITMAP bm{};
        GetObject(bitmap, sizeof bm, &bm);
        const RECT& r = m_buttonRects[size_t(i)];
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(dc, r.left, r.top, bm.bmWidth, bm.bmHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        const RECT left{r.left, r.top, r.left + 1, r.top + bm.bmHeight};
        const RECT top{r.left, r.top, r.left + bm.bmWidth, r.top + 1};
        FillRect(dc, &left, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
        FillRect(dc, &top, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    }
    DeleteDC(memory);
}

void TkListBoxEditor::OnHeaderButtonDown(POINT point) {
    if (m_edit || !(m_flags & ListEditorButtons)) return;
    for (int i = 0; i < 4; ++i) {
        const RECT& r = m_buttonRects[size_t(i)];
        if (!m_buttonExists[size_t(i)] || !r.Contains(point.x, point.y)) continue;
        HBITMAP normal = LoadButtonBitmap(i);
        HBITMAP pressed = MakePressedPicture(normal);
        TkFakeButton tracker;
        const BOOL released = tracker.Track(this, r, normal, pressed);
        if (normal) DeleteObject(normal);
        if (pressed) DeleteObject(pressed);
        if (!released) return;
        switch (i) {
        case newButton:
            NewItem();
            break;
        case deleteButton:
            DeleteSelected();
            break;
        case upButton:
            MoveUp();
            break;
        default:
            MoveDown();
            break;
        }
        return;
    }
}

LRESULT TkListBoxEditor::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hWnd, &ps);
        PaintHeader(dc);
        EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
        OnHeaderButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_SIZE:
    case WM_MOVE: {
        const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
        if (m_initialised) RecalcLayout();
        return result;
    }
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}

BOOL TkListBoxEditor::PreTranslateMessage(MSG* msg) {
    if ((m_flags & ListEditorToolTips) && m_toolTips && m_toolTips->m_hWnd && msg->message == WM_MOUSEMOVE &&
        msg->hwnd == m_hWnd)
        m_toolTips->RelayEvent(msg);
    return CWnd::PreTranslateMessage(msg);
}

void TkListBoxEditor::SendNotification(UINT code) const {
    const HWND parent = ::vq::GetParent(m_hWnd);
    ::vq::SendMessage(parent, WM_COMMAND, MAKELPARAM(m_listBox->GetDlgCtrlID(), code), LPARAM(m_listBox->m_hWnd));
}

void TkListBoxEditor::NotifySelChange() {
    const HWND parent = ::vq::GetParent(m_hWnd);
    ::vq::PostMessage(parent, WM_COMMAND, MAKELPARAM(m_listBox->GetDlgCtrlID(), LBN_SELCHANGE),
                      LPARAM(m_listBox->m_hWnd));
}

void TkListBoxEditor::OnEditDone() {
    if (m_listBox->GetCurSel() < 0 && m_listBox->GetCount() > 0) m_listBox->SetCurSel(m_listBox->GetCount() - 1);
    NotifySelChange();
}

BOOL TkListBoxEditor::IsMultipleSelection() const {
    return (m_listBox->GetStyle() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}

int TkListBoxEditor::SingleSelection() const {
    if (!IsMultipleSelection()) return m_listBox->GetCurSel();
    if (m_listBox->GetSelCount() != 1) return -1;
    for (int i = 0; i < m_listBox->GetCount(); ++i)
        if (m_listBox->GetSel(i) > 0) return i;
    return -1;
}

void TkListBoxEditor::MoveToTabStop(BOOL previous) {
    const HWND next = GetNextDlgTabItem(::vq::GetParent(m_hWnd), m_listBox->m_hWnd, previous);
    if (!next) return;
    SetFocus(next);
    char className[16] = {};
    if (GetClassName(next, className, sizeof className) && strcasecmp(className, "Edit") == 0)
        ::vq::SendMessage(next, EM_SETSEL, 0, -1);
}

int TkListBoxEditor::BeginEdit(UINT character) {
    if (character == ' ' || character == '\b') {
        if (m_spaceAdvance) {
            MoveToTabStop(character == '\b');
            return 0;
        }
        character = 0;
    }
    const int selection = m_listBox->GetCurSel();
    if (selection < 0 || m_edit) return 0;
    m_startingText = m_listBox->GetText(selection);
    const char text[2] = {char(character), '\0'};
    return EditItem(selection, FALSE, character ? text : nullptr);
}

BOOL TkListBoxEditor::EditItem(int index, BOOL isNew, const char* initialText) {
    if (m_edit || index < 0 || index >= m_listBox->GetCount()) return FALSE;
    NotifySelChange();
    m_cancelled = FALSE;
    const BOOL browse = (m_flags & ListEditorBrowse) != 0;
    std::int32_t narrowBy = 0;
    if (browse) {
        HDC dc = GetDC(m_listBox->m_hWnd);
        HGDIOBJ old = SelectObject(dc, HFONT(m_listBox->SendMessage(WM_GETFONT))
                                           ? HGDIOBJ(HFONT(m_listBox->SendMessage(WM_GETFONT)))
                                           : GetStockObject(DEFAULT_GUI_FONT));
        SIZE dots{}, space{};
        GetTextExtentPoint32(dc, "...", 3, &dots);
        GetTextExtentPoint32(dc, " ", 1, &space);
        SelectObject(dc, old);
        ReleaseDC(m_listBox->m_hWnd, dc);
        narrowBy = dots.cx + 2 * space.cx + 2 * GetSystemMetrics(SM_CXBORDER);
    }
    m_edit = std::make_unique<TkListBoxEdit>(isNew, index, browse ? kListEditorBrowseId : 0, m_spaceAdvance,
                                            m_spaceAdvanceCount);
    if (!m_edit->CreateOver(*m_listBox, initialText, narrowBy)) {
        m_edit.reset();
        return FALSE;
    }
    if (browse) {
        RECT row, edit;
        m_listBox->GetItemRect(index, &row);
        GetWindowRect(m_edit->m_hWnd, &edit);
        m_browse = std::make_unique<CButton>();
        m_browse->Create("...", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                         RECT{row.right - narrowBy, row.top - 2, row.right, row.bottom + 2}, m_listBox.get(),
                         kListEditorBrowseId);
    }
    return TRUE;
}

void TkListBoxEditor::EndEdit() {
    if (m_browse && m_browse->m_hWnd) m_browse->DestroyWindow();
    m_browse.reset();
    if (m_edit) {
        if (m_edit->m_hWnd) m_edit->DestroyWindow();
        m_retiredEdit = std::move(m_edit);
    }
    const int selection = m_listBox->GetCurSel();
    if (!m_cancelled && selection >= 0) {
        const std::string text = m_listBox->GetText(selection);
        const int last = m_listBox->GetCount() - 1;
        const BOOL wasBlankRow = UsesBlankRow() && selection == last && m_startingText.empty();
        if (selection == last && text != m_startingText && !m_startingText.empty()) {
            OnItemChanged(selection, m_startingText, text);
        } else if (m_adding || wasBlankRow) {
            OnItemAdded(selection, text);
            if (wasBlankRow && !IsBlank(text)) AppendBlankRowIfNeeded();
        } else if (text != m_startingText) {
            OnItemChanged(selection, m_startingText, text);
        }
    }
    m_startingText.clear();
    m_adding = FALSE;
    OnEditDone();
}

void TkListBoxEditor::OnItemChanged(int index, const std::string&, const std::string& newText) {
    if (IsBlank(newText)) {
        DeleteItem(index);
        return;
    }
    if (UsesBlankRow() && index == m_listBox->GetCount() - 1) m_listBox->AddString("");
}

void TkListBoxEditor::OnItemAdded(int index, const std::string& text) {
    if (IsBlank(text)) DeleteItem(index);
}

BOOL TkListBoxEditor::OnDeletingItem(int, const std::string&) {
    return TRUE;
}

void TkListBoxEditor::OnItemMoved(int from, int to, const std::string&, BOOL) {
    m_lastIndex = from;
    m_movedTo = to;
    SendNotification(ListEditorItemMoved);
}

BOOL TkListBoxEditor::DeleteItem(int index) {
    const int count = m_listBox->GetCount();
    if (index < 0 || index >= count || IsBlankRow(index)) return FALSE;
    if (!OnDeletingItem(index, m_listBox->GetText(index))) return FALSE;
    m_listBox->SendMessage(WM_SETREDRAW, FALSE);
    m_listBox->DeleteString(index);
    m_listBox->SendMessage(WM_SETREDRAW, TRUE);
    if (!IsMultipleSelection()) m_listBox->SetCurSel(std::min(index, m_listBox->GetCount() - 1));
    m_lastIndex = index;
    SendNotification(ListEditorItemDeleted);
    return TRUE;
}

BOOL TkListBoxEditor::DeleteSelected() {
    if (m_edit) return FALSE;
    if (!IsMultipleSelection()) return DeleteItem(m_listBox->GetCurSel());
    BOOL any = FALSE;
    while (m_listBox->GetSelCount() > 0) {
        int first = -1;
        for (int i = 0; i < m_listBox->GetCount() && first < 0; ++i)
            if (m_listBox->GetSel(i) > 0) first = i;
        if (first < 0 || !DeleteItem(first)) break;
        any = TRUE;
    }
    return any;
}

BOOL TkListBoxEditor::MoveItemUp(int index) {
    if (index < 1 || index >= m_listBox->GetCount()) return FALSE;
    const std::string text = m_listBox->GetText(index);
    const std::intptr_t data = m_listBox->GetItemData(index);
    m_listBox->SendMessage(WM_SETREDRAW, FALSE);
    m_listBox->DeleteString(index);
    m_listBox->InsertString(index - 1, text.c_str());
    m_listBox->SetItemData(index - 1, data);
    m_listBox->SendMessage(WM_SETREDRAW, TRUE);
    return TRUE;
}

BOOL TkListBoxEditor::MoveUp() {
    const int index = SingleSelection();
    const int lastReal = m_listBox->GetCount() - (UsesBlankRow() ? 2 : 1);
    if (m_edit || index < 1 || index > lastReal || !MoveItemUp(index)) return FALSE;
    if (IsMultipleSelection()) {
        m_listBox->SetSel(-1, FALSE);
        m_listBox->SetSel(index - 1, TRUE);
    } else {
        m_listBox->SetCurSel(index - 1);
    }
    OnItemMoved(index, index - 1, m_listBox->GetText(index - 1), FALSE);
    return TRUE;
}

BOOL TkListBoxEditor::MoveDown() {
    const int index = SingleSelection();
    const int lastReal = m_listBox->GetCount() - (UsesBlankRow() ? 2 : 1);
    if (m_edit || index < 0 || index >= lastReal || !MoveItemUp(index + 1)) return FALSE;
    if (IsMultipleSelection()) {
        m_listBox->SetSel(-1, FALSE);
        m_listBox->SetSel(index + 1, TRUE);
    } else {
        m_listBox->SetCurSel(index + 1);
    }
    OnItemMoved(index, index + 1, m_listBox->GetText(index + 1), FALSE);
    return TRUE;
}

BOOL TkListBoxEditor::NewItem() {
    if (m_edit) return FALSE;
    const int count = m_listBox->GetCount();
    if (count == 0 || !m_listBox->GetText(count - 1).empty()) m_listBox->AddString("");
    int index = m_listBox->GetCount() - 1;
    if (UsesBlankRow()) {
        m_listBox->AddString("");
        index = m_listBox->GetCount() - 2;
    }
    m_startingText.clear();
    m_adding = TRUE;
    EditItem(index, TRUE, nullptr);
    return TRUE;
}

void TkListBoxEditor::OnListButtonDown(WPARAM wParam, LPARAM lParam) {
    m_listBox->m_focusLeft = FALSE;
    int remembered = -2;
    if (m_edit && m_edit->m_hWnd) {
        const BOOL hasText = !m_edit->GetWindowText().empty();
        m_edit->SendMessage(WM_KEYDOWN, hasText ? VK_RETURN : VK_ESCAPE, 0);
    } else {
        remembered = m_listBox->GetCurSel();
    }
    if (m_listBox->m_focusLeft && GetFocus() != m_listBox->m_hWnd) return;
    m_listBox->DefaultButtonDown(wParam, lParam);
    if (m_flags & ListEditorDrag) {
        TkListBoxDragWnd drag(m_listBox.get(), UsesBlankRow());
        int from = -1, to = -1;
        if (drag.Drag(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, from, to))
            OnItemMoved(from, to, m_listBox->GetText(to), TRUE);
    }
    const int now = m_listBox->GetCurSel();
    if (remembered != -2 && now >= 0 && now != remembered) NotifySelChange();
}

} // namespace vq

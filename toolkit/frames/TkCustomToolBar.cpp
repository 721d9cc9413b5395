#include "toolkit/frames/TkCustomToolBar.h"

#include "platform/classlib/CmdTarget.h"
#include "platform/classlib/ToolTipCtrl.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/GdiObjectTable.h"
#include "toolkit/controls/TkSysMetrics.h"
#include "toolkit/frames/TkBmpMgr.h"
#include "toolkit/frames/TkBtnPaintContext.h"
#include "toolkit/frames/TkCustomToolBarInfoEx.h"
#include "toolkit/frames/TkDockContext.h"
#include "toolkit/frames/TkDrawing.h"
#include "toolkit/frames/TkToolBarManager.h"

#include <algorithm>

namespace vq {

namespace {

BOOL commandInProgress = FALSE;

POINT PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

// The state a bar's command handlers give one button.
class TkCustomToolCmdUI : public CCmdUI {
public:
    TkCustomToolCmdUI(TkCustomToolBar* bar, int index) : m_pBar(bar), m_nButton(index) {
        m_nID = bar->GetButtonCommand(index);
        m_pOther = bar;
    }

    void Enable(BOOL enable) override {
        m_bEnableChanged = TRUE;
        const DWORD style = m_pBar->GetButtonStyle(m_nButton);
        m_pBar->SetButtonStyle(m_nButton, enable ? style & ~DWORD(TKBS_DISABLED) : style | TKBS_DISABLED);
    }
    void SetCheck(int check) override {
        DWORD style = m_pBar->GetButtonStyle(m_nButton) & ~DWORD(TKBS_CHECKED | TKBS_INDETERMINATE);
        style |= TKBS_CHECKBOX;
        if (check == 1) style |= TKBS_CHECKED;
        if (check == 2) style |= TKBS_INDETERMINATE;
        m_pBar->SetButtonStyle(m_nButton, style);
    }
    void SetText(const char*) override {}

private:
    TkCustomToolBar* m_pBar;
    int m_nButton;
};

} // namespace

VQ_IMPLEMENT_DYNCREATE(TkCustomToolBar, TkControlBar)
VQ_IMPLEMENT_RUNTIME_CLASS(TkCustomizeToolBar, TkCustomToolBar)

VQ_BEGIN_MESSAGE_MAP(TkCustomToolBar, TkControlBar)
VQ_ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDownMsg)
VQ_ON_MESSAGE(WM_LBUTTONDBLCLK, OnLButtonDblClkMsg)
VQ_ON_MESSAGE(WM_MOUSEMOVE, OnMouseMoveMsg)
VQ_ON_MESSAGE(WM_LBUTTONUP, OnLButtonUpMsg)
VQ_ON_MESSAGE(WM_CANCELMODE, OnCancelModeMsg)
VQ_ON_MESSAGE(WM_MOUSEACTIVATE, OnMouseActivateMsg)
VQ_ON_MESSAGE(WM_TIMER, OnTimerMsg)
VQ_ON_MESSAGE(WM_SHOWWINDOW, OnShowWindowMsg)
VQ_ON_MESSAGE(WM_WINDOWPOSCHANGING, OnWindowPosChangingMsg)
VQ_ON_MESSAGE(WM_WINDOWPOSCHANGED, OnWindowPosChangedMsg)
VQ_ON_MESSAGE(WM_DESTROY, OnDestroyMsg)
VQ_ON_MESSAGE(WM_NODELAYHIDE, OnNoDelayHide)
VQ_ON_MESSAGE(TB_ADDBUTTONS, OnAddButtons)
VQ_ON_MESSAGE(TB_DELETEBUTTON, OnDeleteButton)
VQ_ON_MESSAGE(WM_SIZEPARENT, OnSizeParentMsg)
VQ_ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChangeMsg)
VQ_END_MESSAGE_MAP()

BOOL TkCustomToolBar::IsCommandInProgress() {
    return commandInProgress;
}

void TkCustomToolBar::SetCommandInProgress(BOOL on) {
    commandInProgress = on;
}

TkCustomToolBar::TkCustomToolBar() : m_pBmpMgr(new TkBmpMgr) {
    m_cyTopBorder = m_cyBottomBorder = 3;
    m_gripper.m_nHorzOuter = m_gripper.m_nVertOuter = 2;
    m_gripper.m_nHorzLine1 = m_gripper.m_nVertLine1 = 3;
    m_gripper.m_nHorzGap = m_gripper.m_nVertGap = 1;
    m_gripper.m_nHorzLine2 = m_gripper.m_nVertLine2 = 3;
    m_gripper.m_nHorzInner = m_gripper.m_nVertInner = 2;
    m_gripper.m_nSideMargin = 0;
    m_hFont = reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

TkCustomToolBar::~TkCustomToolBar() {
    // The window goes first: its last messages still reach this class's handlers.
    DestroyWindow();
    m_buttons.clear();
    m_pOwnPaint.reset();
    if (m_pBmpMgr) m_pBmpMgr->ReleaseReference();
    m_pBmpMgr = nullptr;
}

TkToolBarManager* TkCustomToolBar::GetToolBarManager() const {
    return dynamic_cast<TkToolBarManager*>(m_pManager);
}

void TkCustomToolBar::AttachManager(TkToolBarManager* manager, TkBmpMgr* store) {
    m_pManager = manager;
    if (store && store != m_pBmpMgr) {
        store->AddReference();
        if (m_pBmpMgr) m_pBmpMgr->ReleaseReference();
        m_pBmpMgr = store;
    }
    // The manager's paint context serves every one of its bars.
    if (manager) m_pOwnPaint.reset();
}

BOOL TkCustomToolBar::CreateToolBar(CWnd* parent, DWORD style, UINT id, const char* title) {
    return CreateToolBarEx(0, parent, style, id, title);
}

BOOL TkCustomToolBar::CreateToolBarEx(DWORD exStyle, CWnd* parent, DWORD style, UINT id, const char* title) {
    m_dwStyle = style & CBRS_ALL;
    const BOOL created = CWnd::CreateEx(0, ControlBarClassName(), title,
                                        (style & ~DWORD(CBRS_ALL)) | WS_CHILD, RECT{}, parent, id);
    if (created) {
        EnableToolTips(TRUE);
        NotifyManager(2);
    }
    m_dwExStyle = exStyle | CBX_TOOLBARLIKE;
    m_bDirtyFloat = m_bDirtyHorz = m_bDirtyVert = TRUE;
    return created;
}

BOOL TkCustomToolBar::CreateEx(const char*, const char* title, UINT id, DWORD style, DWORD exStyle,
                               const RECT&, CWnd* parent) {
    return CreateToolBarEx(exStyle, parent, style | CBRS_HIDE_INPLACE, id, title);
}

BOOL TkCustomToolBar::IsCopyDrag() const {
    return GetKeyState(VK_CONTROL) < 0;
}

std::int32_t TkCustomToolBar::GetImageWidth() const {
    return m_pBmpMgr ? m_pBmpMgr->GetImageSize().cx : 16;
}

std::int32_t TkCustomToolBar::GetImageHeight() const {
    return m_pBmpMgr ? m_pBmpMgr->GetImageSize().cy : 15;
}

HWND TkCustomToolBar::GetNotifyWindow() const {
    return m_hWndOwner ? m_hWndOwner : ::vq::GetParent(m_hWnd);
}

LRESULT TkCustomToolBar::SendNotify(UINT code, const TkStdBtn* button, LPARAM param1, LPARAM param2) {
    TkToolBarNotify notify;
    notify.hdr.hwndFrom = m_hWnd;
    notify.hdr.idFrom = GetDlgCtrlID();
    notify.hdr.code = code;
    notify.iItem = button ? std::int32_t(button->m_nID) : 0;
    notify.nIndex = button ? IndexOfButton(button) : -1;
    notify.lParam1 = param1;
    notify.lParam2 = param2;
    return ::vq::SendMessage(GetNotifyWindow(), WM_NOTIFY, notify.hdr.idFrom,
                             reinterpret_cast<LPARAM>(&notify));
}

void TkCustomToolBar::NotifyManager(int code) {
    if (TkToolBarManager* manager = GetToolBarManager()) manager->NotifyDialogs(GetDlgCtrlID(), code);
}

// Buttons.

int TkCustomToolBar::IndexOfCommand(UINT id) const {
    for (int i = 0; i < GetButtonCount(); ++i)
        if (m_buttons[std::size_t(i)]->m_nID == id) return i;
    return -1;
}

int TkCustomToolBar::IndexOfButton(const TkStdBtn* button) const {
    for (int i = 0; i < GetButtonCount(); ++i)
        if (m_buttons[std::size_t(i)].get() == button) return i;
    return -1;
}

TkStdBtn* TkCustomToolBar::GetButtonAt(int index) const {
    return index >= 0 && index < GetButtonCount() ? m_buttons[std::size_t(index)].get() : nullptr;
}

UINT TkCustomToolBar::GetButtonCommand(int index) const {
    const TkStdBtn* button = GetButtonAt(index);
    return button ? button->m_nID : 0;
}

RECT TkCustomToolBar::GetButtonRect(int index) const {
    const TkStdBtn* button = GetButtonAt(index);
    return button ? button->GetBounds() : RECT{};
}

DWORD TkCustomToolBar::GetButtonStyle(int index) const {
    const TkStdBtn* button = GetButtonAt(index);
    return button ? button->GetStyleWord() : 0;
}

void TkCustomToolBar::SetButtonStyle(int index, DWORD style) {
    TkStdBtn* button = GetButtonAt(index);
    if (!button || button->GetStyleWord() == style) return;
    button->SetStyleWord(style);
    InvalidateButton(index);
}

void TkCustomToolBar::SetButtonHidden(int index, BOOL hidden) {
    TkStdBtn* button = GetButtonAt(index);
    if (!button) return;
    const DWORD style = button->GetStyleWord();
    button->SetStyleWord(hidden ? style | TKBS_HIDDEN : style & ~DWORD(TKBS_HIDDEN));
    button->OnHiddenChanged();
    m_bDirtyFloat = m_bDirtyHorz = m_bDirtyVert = TRUE;
}

void TkCustomToolBar::InvalidateButton(int index) {
    const TkStdBtn* button = GetButtonAt(index);
    if (!button || !m_hWnd) return;
    const RECT r = button->GetBounds();
    InvalidateRect(m_hWnd, &r, FALSE);
}

void TkCustomToolBar::RedrawButtonNow(int index) {
    InvalidateButton(index);
    if (m_hWnd) UpdateWindow(m_hWnd);
}

std::int32_t TkCustomToolBar::GetImageIndex(UINT id, HBITMAP* bitmap) {
    HBITMAP found = nullptr;
    std::int32_t index = 0;
    if (!m_pBmpMgr || !m_pBmpMgr->GetImage(id, found, index, FALSE)) found = nullptr, index = 0;
    if (bitmap) *bitmap = found;
    return index;
}

std::unique_ptr<TkStdBtn> TkCustomToolBar::CreateButton(UINT id, TkCustomToolBar* owner) {
    TkToolBarManager* manager = GetToolBarManager();
    const TkBtnMapEntry* primary = manager ? manager->GetButtonMap() : m_pPrimaryMap;
    const TkBtnMapEntry* entry = nullptr;
    for (const TkBtnMapEntry* e = primary; e && e->m_pClass && !entry; ++e)
        if (e->m_nID == id) entry = e;
    for (const TkBtnMapEntry& e : m_secondaryMap) {
        if (entry || !e.m_pClass) break;
        if (e.m_nID == id) entry = &e;
    }
    std::unique_ptr<TkStdBtn> button;
    if (entry) {
        button = TkStdBtn::CreateButtonOfClass(*entry->m_pClass);
        if (!button) return nullptr;
        button->SetStyleWord(entry->m_dwStyle);
    } else {
        button = std::make_unique<TkStdBtn>();
    }
    TkCustomToolBar* bar = owner ? owner : this;
    button->m_nID = id;
    button->m_nImage = button->m_nKind == TKBK_MENU ? 0 : GetImageIndex(id, nullptr);
    button->InitButton(bar, entry ? entry->m_data : nullptr);
    button->SetBarMode(bar->m_dwOrientation);
    return button;
}

std::unique_ptr<TkStdBtn> TkCustomToolBar::CreateSeparator(TkCustomToolBar* owner) {
    auto button = std::make_unique<TkStdBtn>();
    button->SetStyleWord(TKBS_SEPARATOR);
    button->m_cx = m_nSeparatorWidth;
    button->m_cy = GetButtonHeight();
    button->AttachToBar(owner ? owner : this);
    return button;
}

void TkCustomToolBar::RemoveAllButtons() {
    m_buttons.clear();
    m_nCurrent = m_nHot = m_nMenuSel = -1;
    StopHotTimer();
    m_bDirtyFloat = m_bDirtyHorz = m_bDirtyVert = TRUE;
}

void TkCustomToolBar::OnGetBarInfoEx(TkControlBarInfo* info) {
    auto record = std::make_unique<TkCustomToolBarInfoEx>();
    record->m_strTitle = GetWindowText();
    for (const auto& button : m_buttons) {
        auto saved = std::make_unique<TkBtnInfo>();
        saved->m_nID = button->IsSeparator() ? 0 : button->m_nID;
        std::int32_t length = 0;
        const std::uint8_t* data = nullptr;
        button->GetSaveData(length, data);
        if (data && length > 0 && std::size_t(length) <= TkCustomToolBarInfoEx::kMaxDataLength)
            saved->m_data.assign(data, data + length);
        record->m_arrButtons.push_back(std::move(saved));
    }
    info->m_pBarInfoEx = std::move(record);
}

void TkCustomToolBar::OnSetBarInfoEx(TkControlBarInfo* info, CFrameWnd*) {
    const auto* record = dynamic_cast<const TkCustomToolBarInfoEx*>(info->m_pBarInfoEx.get());
    if (!record) return;
    RemoveAllButtons();
    ClearSelection(FALSE);
    if (!record->m_strTitle.empty()) SetWindowText(record->m_strTitle.c_str());
    // The frame is laid out by the dock state once every record is applied.
    for (const auto& saved : record->m_arrButtons) {
        std::unique_ptr<TkStdBtn> button = saved->m_nID ? CreateButton(saved->m_nID, nullptr) : CreateSeparator(nullptr);
        if (!button) continue;
        button->SetSaveData(std::int32_t(saved->m_data.size()), saved->m_data.data());
        m_buttons.push_back(std::move(button));
    }
}

BOOL TkCustomToolBar::SetButtons(const UINT* ids, int count) {
    RemoveAllButtons();
    ClearSelection(FALSE);
    for (int i = 0; ids && i < count; ++i) {
        std::unique_ptr<TkStdBtn> button = ids[i] ? CreateButton(ids[i], nullptr) : CreateSeparator(nullptr);
        if (button) m_buttons.push_back(std::move(button));
    }
    return TRUE;
}

void TkCustomToolBar::InsertButton(int index, UINT id, BOOL separator, BOOL noUpdate) {
    index = std::clamp(index, 0, GetButtonCount());
    std::unique_ptr<TkStdBtn> button = separator ? CreateSeparator(nullptr) : CreateButton(id, nullptr);
    if (!button) return;
    m_nMRUWidth += button->m_cx;
    m_buttons.insert(m_buttons.begin() + index, std::move(button));
    m_bDirtyFloat = m_bDirtyHorz = m_bDirtyVert = TRUE;
    if (m_bCustomize && m_nCurrent >= index) {
        ++m_nCurrent;
        Invalidate(FALSE);
    }
    if (IsCoolLook() && m_nHot >= index) ++m_nHot;
    UpdateButton(index);
    if (noUpdate) return;
    if (CFrameWnd* frame = GetParentFrame()) frame->RecalcLayout();
    Invalidate(TRUE);
}

BOOL TkCustomToolBar::IsUserBar() const {
    // The menu bar has the last id of the range, and an empty menu bar stays.
    const UINT id = GetDlgCtrlID();
    return id >= kFirstUserBarId && id < kMenuBarId;
}

BOOL TkCustomToolBar::RemoveButton(int index, BOOL noUpdate) {
    if (index < 0 || index >= GetButtonCount()) return FALSE;
    // Original positions of what goes: the button, then at most one separator.
    std::vector<int> removed{index};
    m_buttons.erase(m_buttons.begin() + index);
    const int count = GetButtonCount();
    auto isSeparator = [this](int i) { return m_buttons[std::size_t(i)]->IsSeparator(); };
    if (index == 0) {
        if (count > 0 && isSeparator(0)) {
            m_buttons.erase(m_buttons.begin());
            removed.push_back(1);
        }
    } else if (count > 0 && isSeparator(count - 1)) {
        m_buttons.pop_back();
        removed.push_back(count);
    } else if (index < count && isSeparator(index - 1) && isSeparator(index)) {
        m_buttons.erase(m_buttons.begin() + index);
        removed.push_back(index + 1);
    }
    auto follow = [&removed](int& at) {
        if (at < 0) return false;
        if (std::find(removed.begin(), removed.end(), at) != removed.end()) {
            at = -1;
            return true;
        }
        at -= int(std::count_if(removed.begin(), removed.end(), [at](int r) { return r < at; }));
        return false;
    };
    if (m_bCustomize) follow(m_nCurrent);
    if (follow(m_nHot)) StopHotTimer();
    m_bDirtyFloat = m_bDirtyHorz = m_bDirtyVert = TRUE;
    if (noUpdate) return !m_buttons.empty();
    if (m_buttons.empty() && IsUserBar()) {
        // An auto-deleting bar is gone once its window is: nothing here may touch it after this.
        DestroyWindow();
        return FALSE;
    }
    if (CFrameWnd* frame = GetParentFrame()) frame->RecalcLayout();
    Invalidate(TRUE);
    return !m_buttons.empty();
}

void TkCustomToolBar::OnImageSizeChanged(std::int32_t, std::int32_t) {
    m_nWidestButton = 0;
    for (auto& button : m_buttons)
        button->CalcButtonSize();
    m_bDirtyFloat = m_bDirtyHorz = m_bDirtyVert = TRUE;
}

BOOL TkCustomToolBar::LoadButtonsFromResource(UINT toolBar) {
    std::vector<std::uint32_t> items;
    if (!m_pBmpMgr || !m_pBmpMgr->AddImages(toolBar, 0, TRUE)) return FALSE;
    if (!TkBmpMgr::ReadToolBarItems(toolBar, items)) return FALSE;
    std::vector<UINT> ids(items.begin(), items.end());
    return SetButtons(ids.data(), int(ids.size()));
}

BOOL TkCustomToolBar::LoadButtonsWithImages(UINT bitmap, const UINT* ids, int count) {
    std::vector<std::uint32_t> imageIds;
    for (int i = 0; i < count; ++i)
        if (ids[i]) imageIds.push_back(ids[i]);
    if (m_pBmpMgr) m_pBmpMgr->AddImageSet(bitmap, 0, imageIds.data(), std::int32_t(imageIds.size()), TRUE);
    return SetButtons(ids, count);
}

// Command state.

void TkCustomToolBar::OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) {
    for (int i = 0; i < GetButtonCount(); ++i) {
        const TkStdBtn* button = m_buttons[std::size_t(i)].get();
        if (button->IsSeparator()) continue;
        TkCustomToolCmdUI state(this, i);
        state.DoUpdate(target, (button->GetStyleWord() & TKBS_KEEPENABLED) ? FALSE : disableIfNoHandler);
    }
}

void TkCustomToolBar::UpdateButton(int index) {
    const TkStdBtn* button = GetButtonAt(index);
    if (!button || button->IsSeparator() || !m_hWnd) return;
    CFrameWnd* target = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(m_hWndOwner));
    if (!target) target = GetParentFrame();
    if (!target) return;
    TkCustomToolCmdUI state(this, index);
    state.DoUpdate(target, (button->GetStyleWord() & TKBS_KEEPENABLED) ? FALSE : TRUE);
}

void TkCustomToolBar::SetStateForCommand(UINT id, DWORD set, DWORD clear, BOOL allBars) {
    TkToolBarManager* manager = GetToolBarManager();
    if (allBars && manager) {
        manager->BroadcastButtonState(id, set, clear);
        return;
    }
    // A bar without manager still shows the change on its own buttons.
    for (auto& button : m_buttons)
        if (button->m_nID == id) button->ModifyState(1, set, clear);
}

void TkCustomToolBar::SetOrientation(DWORD orientation) {
    if (orientation == m_dwOrientation) return;
    m_dwOrientation = orientation;
    for (auto& button : m_buttons)
        button->SetBarMode(orientation);
}

void TkCustomToolBar::ClearSelection(BOOL redraw) {
    if (!m_bCustomize || m_nCurrent < 0) return;
    if (TkStdBtn* button = GetButtonAt(m_nCurrent)) {
        button->SetStyleWord(button->GetStyleWord() & ~DWORD(TKBS_CUSTOMSELECTED));
        if (redraw) InvalidateButton(m_nCurrent);
    }
    m_nCurrent = -1;
    if (TkToolBarManager* manager = GetToolBarManager(); manager && manager->GetSelectedBar() == this)
        manager->SetSelectedBar(nullptr);
}

void TkCustomToolBar::EnableCustomize(BOOL on) {
    if (bool(on) == bool(m_bCustomize)) return;
    ClearSelection(FALSE);
    m_bCustomize = on;
    if (m_hWnd) Invalidate(TRUE);
}

// Painting.

TkBtnPaintContext* TkCustomToolBar::GetPaintContext() {
    if (m_pOwnPaint) return m_pOwnPaint.get();
    if (TkToolBarManager* manager = GetToolBarManager()) return &manager->GetPaintContext();
    m_pOwnPaint = std::make_unique<TkBtnPaintContext>();
    return m_pOwnPaint.get();
}

void TkCustomToolBar::DoPaint(HDC dc) {
    TkControlBar::DoPaint(dc);
    if (m_buttons.empty()) return;
    TkBtnPaintContext* context = GetPaintContext();
    if (!context->PrepareWorkBitmaps(dc, std::max(m_nWidestButton, GetButtonWidth()), this)) return;
    for (auto& button : m_buttons)
        if (!(button->GetStyleWord() & TKBS_HIDDEN)) button->PaintButton(dc, *context);
    context->ReleaseWorkBitmaps();
}

void TkCustomToolBar::DrawBorders(HDC dc, RECT& rect) {
    if (!(m_dwStyle & CBRS_BORDER_ANY)) return;
    if (m_dwExStyle & CBX_FLATBORDERS) {
        const TkSysMetrics& m = tkSysMetrics;
        const COLORREF topLeft = (m_dwStyle & CBRS_BORDER_3D) ? m.m_crButtonHighlight : m.m_crButtonShadow;
        const std::int32_t w = rect.Width(), h = rect.Height();
        if (m_dwStyle & CBRS_BORDER_LEFT) FillSolid(dc, rect.left, rect.top, 1, h, topLeft);
        if (m_dwStyle & CBRS_BORDER_TOP) FillSolid(dc, rect.left, rect.top, w, 1, topLeft);
        if (m_dwStyle & CBRS_BORDER_RIGHT) FillSolid(dc, rect.right - 1, rect.top, 1, h, m.m_crButtonShadow);
        if (m_dwStyle & CBRS_BORDER_BOTTOM)
            FillSolid(dc, rect.left, rect.bottom - 1, w, 1, m.m_crButtonShadow);
        if (!m_pDockContext) {
            FillSolid(dc, rect.left, rect.top, w, 1, m.m_crButtonShadow);
            FillSolid(dc, rect.left, rect.top + 1, w, 1, m.m_crButtonHighlight);
        }
    } else {
        rect.right -= 1;
        rect.bottom -= 1;
    }
    TkControlBar::DrawBorders(dc, rect);
}

void TkCustomToolBar::AdjustForGripper(RECT& rect, BOOL horz) {
    TkControlBar::AdjustForGripper(rect, horz);
    if (m_dwExStyle & CBX_HIDEBUTTON) {
        if (horz)
            rect.left += 2;
        else
            rect.top += 2;
    }
}

// Mouse.

void TkCustomToolBar::PressAt(POINT p) {
    const int index = ButtonFromPoint(p.x, p.y, nullptr);
    TkStdBtn* button = GetButtonAt(index);
    const bool alt = GetKeyState(VK_MENU) < 0;
    if (!button || IsCommandInProgress() || ((button->GetStyleWord() & TKBS_DISABLED) && !alt)) {
        TkControlBar::OnLButtonDown(0, MAKELPARAM(p.x, p.y));
        return;
    }
    UpdateButton(index);
    if (!button->OnPress(p.x, p.y)) return;
    m_nCurrent = index;
    RedrawButtonNow(index);
    SetCapture(m_hWnd);
    ::vq::SendMessage(GetNotifyWindow(), WM_SETMESSAGESTRING, button->m_nID, 0);
}

LRESULT TkCustomToolBar::OnLButtonDownMsg(WPARAM wParam, LPARAM lParam) {
    if (m_bCustomize) return TkControlBar::OnLButtonDown(wParam, lParam);
    PressAt(PointOf(lParam));
    return 0;
}

LRESULT TkCustomToolBar::OnLButtonDblClkMsg(WPARAM wParam, LPARAM lParam) {
    const POINT p = PointOf(lParam);
    if (m_bCustomize || ButtonFromPoint(p.x, p.y, nullptr) < 0)
        return TkControlBar::OnLButtonDblClk(wParam, lParam);
    PressAt(p);
    return 0;
}

LRESULT TkCustomToolBar::OnMouseMoveMsg(WPARAM, LPARAM lParam) {
    const POINT p = PointOf(lParam);
    if (TkStdBtn* button = GetButtonAt(m_nCurrent); button && !m_bCustomize) {
        const DWORD before = button->GetStyleWord();
        if (GetCapture() == m_hWnd) {
            button->OnTrack(p.x, p.y);
        } else {
            button->CancelPress();
            m_nCurrent = -1;
            ::vq::SendMessage(GetNotifyWindow(), WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
        }
        if (button->GetStyleWord() != before) RedrawButtonNow(IndexOfButton(button));
        return 0;
    }
    UpdateHotButton(FALSE);
    return Default();
}

LRESULT TkCustomToolBar::OnLButtonUpMsg(WPARAM wParam, LPARAM lParam) {
    TkStdBtn* button = GetButtonAt(m_nCurrent);
    if (!button || m_bCustomize) return TkControlBar::OnLButtonUp(wParam, lParam);
    const POINT p = PointOf(lParam);
    const int index = m_nCurrent;
    if (GetCapture() == m_hWnd) ReleaseCapture();
    UpdateButton(index);
    const UINT command = button->OnRelease(p.x, p.y);
    HWND target = GetNotifyWindow();
    ::vq::SendMessage(target, WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
    UpdateButton(index);
    RedrawButtonNow(index);
    m_nCurrent = -1;
    if (command) {
        SetCommandInProgress(TRUE);
        ::vq::PostMessage(target, WM_COMMAND, command, 0);
        SetCommandInProgress(FALSE);
    }
    return 0;
}

LRESULT TkCustomToolBar::OnCancelModeMsg(WPARAM, LPARAM) {
    if (m_bMenuMode) EndMenuMode();
    if (!m_bCustomize && m_nCurrent >= 0) {
        if (GetCapture() == m_hWnd) ReleaseCapture();
        if (TkStdBtn* button = GetButtonAt(m_nCurrent)) button->CancelPress();
        RedrawButtonNow(m_nCurrent);
        m_nCurrent = -1;
    }
    return Default();
}

LRESULT TkCustomToolBar::OnMouseActivateMsg(WPARAM, LPARAM) {
    if (m_bCustomize && !IsFloating()) return MA_NOACTIVATE;
    return Default();
}

// Hot tracking.

void TkCustomToolBar::StopHotTimer() {
    if (m_bHotTimer && m_hWnd) KillTimer(m_hWnd, kHotTimerId);
    m_bHotTimer = FALSE;
}

void TkCustomToolBar::UpdateHotButton(BOOL updateNow) {
    if (!IsCoolLook() || !m_hWnd || !GetActiveWindow() || IsCommandInProgress() || m_nCurrent >= 0) return;
    if (m_nMenuSel >= 0 && m_nMenuSel == m_nHot) return;
    int target = m_nMenuSel;
    if (target < 0) {
        POINT cursor;
        GetCursorPos(&cursor);
        if (WindowFromPoint(cursor) == m_hWnd) {
            ScreenToClient(m_hWnd, &cursor);
            target = ButtonFromPoint(cursor.x, cursor.y, nullptr);
        }
    }
    if (const TkStdBtn* button = GetButtonAt(target);
        button && (button->IsSeparator() || (button->GetStyleWord() & TKBS_DISABLED)))
        target = -1;
    TkStdBtn* hot = GetButtonAt(m_nHot);
    if (target < 0) {
        if (hot) {
            hot->SetStyleWord(hot->GetStyleWord() & ~DWORD(TKBS_HOT));
            InvalidateButton(m_nHot);
        }
        m_nHot = -1;
        StopHotTimer();
        return;
    }
    if (target == m_nHot) return;
    if (hot) {
        hot->SetStyleWord(hot->GetStyleWord() & ~DWORD(TKBS_HOT));
        InvalidateButton(m_nHot);
    }
    if (!m_bHotTimer) m_bHotTimer = SetTimer(m_hWnd, kHotTimerId, 100, nullptr) != 0;
    m_nHot = target;
    TkStdBtn* button = GetButtonAt(target);
    button->SetStyleWord(button->GetStyleWord() | TKBS_HOT);
    InvalidateButton(target);
    if (updateNow) UpdateWindow(m_hWnd);
}

LRESULT TkCustomToolBar::OnTimerMsg(WPARAM wParam, LPARAM) {
    if (wParam != kHotTimerId) return Default();
    UpdateHotButton(TRUE);
    return 0;
}

// Tool tips.

std::intptr_t TkCustomToolBar::OnToolHitTest(POINT point, ToolHit* hit) const {
    if (const std::intptr_t own = TkControlBar::OnToolHitTest(point, hit); own != -1) return own;
    // Tips switched off show none for the buttons either.
    if (!(m_dwStyle & CBRS_TOOLTIPS)) return -1;
    RECT r;
    const int index = ButtonFromPoint(point.x, point.y, &r);
    TkStdBtn* button = GetButtonAt(index);
    if (!button) return -1;
    return std::intptr_t(button->GetToolInfo(point.x, point.y, hit ? &hit->info : nullptr));
}

// Menu mode.

void TkCustomToolBar::BeginMenuMode(int index) {
    if (TkStdBtn* previous = GetButtonAt(m_nMenuSel)) {
        previous->SetStyleWord(previous->GetStyleWord() & ~DWORD(TKBS_HOT));
        InvalidateButton(m_nMenuSel);
    }
    m_nMenuSel = index;
    TkStdBtn* button = GetButtonAt(index);
    if (!button) {
        m_nMenuSel = -1;
        return;
    }
    m_bMenuMode = TRUE;
    button->SetStyleWord(button->GetStyleWord() | TKBS_HOT);
    InvalidateButton(index);
    SendNotify(TKN_MENUMODEBEGIN, nullptr, 0, 0);
    ::vq::SendMessage(GetNotifyWindow(), WM_SETMESSAGESTRING, 0, 0);
}

LRESULT TkCustomToolBar::EndMenuMode() {
    m_bMenuMode = FALSE;
    const LRESULT result = SendNotify(TKN_MENUMODEEND, nullptr, 0, 0);
    if (TkStdBtn* button = GetButtonAt(m_nMenuSel)) {
        button->SetStyleWord(button->GetStyleWord() & ~DWORD(TKBS_HOT));
        InvalidateButton(m_nMenuSel);
    }
    if (m_nHot == m_nMenuSel) m_nHot = -1;
    m_nMenuSel = -1;
    ::vq::SendMessage(GetNotifyWindow(), WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
    return result;
}

int TkCustomToolBar::BeginMenuModeAtPoint(POINT client) {
    const int index = ButtonFromPoint(client.x, client.y, nullptr);
    BeginMenuMode(index);
    return index;
}

namespace {

bool IsMenuKind(const TkStdBtn* button, bool popupOnly) {
    if (!button || (button->GetStyleWord() & TKBS_HIDDEN)) return false;
    return button->m_nKind == TKBK_MENU || (!popupOnly && button->m_nKind == TKBK_SYSMENU);
}

} // namespace

void TkCustomToolBar::PressMenuButton(int index) {
    if (m_bMenuMode) EndMenuMode();
    TkStdBtn* button = GetButtonAt(index);
    if (!button || (button->m_nKind != TKBK_MENU && button->m_nKind != TKBK_SYSMENU)) return;
    if (TkStdBtn* previous = GetButtonAt(m_nMenuSel); previous && previous != button) previous->CancelPress();
    button->OnPress(button->m_x, button->m_y);
}

LRESULT TkCustomToolBar::OpenButtonMenu(TkStdBtn* button, UINT menuId, std::int32_t itemIndex) {
    m_nMenuSel = IndexOfButton(button);
    UpdateHotButton(FALSE);
    return SendNotify(TKN_DROPMENU, button, LPARAM(menuId), LPARAM(itemIndex));
}

void TkCustomToolBar::CancelMenuButton() {
    if (TkStdBtn* button = GetButtonAt(m_nMenuSel)) button->CancelPress();
    m_nMenuSel = -1;
    UpdateHotButton(FALSE);
}

BOOL TkCustomToolBar::FilterMenuModeMessage(const MSG& msg) {
    TkStdBtn* selected = GetButtonAt(m_nMenuSel);
    if (!selected) return FALSE;
    POINT p = PointOf(msg.lParam);
    ScreenToClient(m_hWnd, &p);
    const int index = ButtonFromPoint(p.x, p.y, nullptr);
    TkStdBtn* button = GetButtonAt(index);
    if (msg.message == WM_MOUSEMOVE) {
        if (button && button != selected) {
            if (button->m_nKind == TKBK_MENU || button->m_nKind == TKBK_SYSMENU)
                PressMenuButton(index);
            else
                SendNotify(TKN_DROPNOMENU, selected, 0, 0);
        }
        return TRUE;
    }
    if (msg.message == WM_LBUTTONDOWN && button == selected) {
        SendNotify(TKN_DROPNOMENU, selected, 0, 0);
        return TRUE;
    }
    return FALSE;
}

int TkCustomToolBar::GetFirstMenuButton() const {
    for (int i = 0; i < GetButtonCount(); ++i)
        if (IsMenuKind(GetButtonAt(i), false)) return i;
    return -1;
}

int TkCustomToolBar::GetLastMenuButton() const {
    for (int i = GetButtonCount() - 1; i >= 0; --i)
        if (IsMenuKind(GetButtonAt(i), false)) return i;
    return -1;
}

int TkCustomToolBar::GetFirstPopupButton() const {
    for (int i = 0; i < GetButtonCount(); ++i)
        if (IsMenuKind(GetButtonAt(i), true)) return i;
    return -1;
}

int TkCustomToolBar::GetNextMenuButton(BOOL forward) const {
    if (m_nMenuSel < 0) return forward ? GetFirstMenuButton() : GetLastMenuButton();
    for (int i = m_nMenuSel + (forward ? 1 : -1); i >= 0 && i < GetButtonCount(); i += forward ? 1 : -1)
        if (IsMenuKind(GetButtonAt(i), false)) return i;
    return -1;
}

// Window life.

LRESULT TkCustomToolBar::OnShowWindowMsg(WPARAM wParam, LPARAM) {
    NotifyManager(wParam ? 0 : 1);
    return Default();
}

LRESULT TkCustomToolBar::OnWindowPosChangingMsg(WPARAM, LPARAM) {
    // The class library's handler must not reserve room for the borders the bar draws itself.
    const DWORD style = m_dwStyle;
    m_dwStyle &= ~DWORD(CBRS_BORDER_ANY);
    const LRESULT result = Default();
    m_dwStyle = style;
    return result;
}

LRESULT TkCustomToolBar::OnWindowPosChangedMsg(WPARAM, LPARAM lParam) {
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
    if (pos->flags & SWP_SHOWWINDOW) NotifyManager(0);
    if (pos->flags & SWP_HIDEWINDOW) NotifyManager(1);
    if ((m_dwStyle & CBRS_SIZE_DYNAMIC) && !(pos->flags & SWP_NOSIZE)) Invalidate(TRUE);
    return Default();
}

LRESULT TkCustomToolBar::OnDestroyMsg(WPARAM wParam, LPARAM lParam) {
    ClearSelection(FALSE);
    StopHotTimer();
    NotifyManager(3);
    return OnDestroyBar(wParam, lParam);
}

void TkCustomToolBar::DelayShow(BOOL show) {
    TkToolBarManager* manager = GetToolBarManager();
    // While customising, a floating bar the user hides goes at once, not at a layout that the
    // modal customisation dialog holds back.
    if (!show && manager && manager->IsFrameLocked() && IsFloating() && m_hWnd && IsWindowVisible(m_hWnd)) {
        m_nStateFlags = (m_nStateFlags & ~UINT(delayShow)) | delayHide;
        PostMessage(WM_NODELAYHIDE);
        return;
    }
    CControlBar::DelayShow(show);
}

LRESULT TkCustomToolBar::OnNoDelayHide(WPARAM, LPARAM) {
    if (m_bCustomize && IsFloating()) {
        m_nStateFlags &= ~UINT(delayHide);
        if (CFrameWnd* frame = GetDockingFrame()) frame->ShowControlBar(this, FALSE, FALSE);
    }
    return 0;
}

void TkCustomToolBar::OnBarStyleChange(DWORD, DWORD newStyle) {
    for (auto& button : m_buttons)
        button->OnBarStyleChanged(newStyle);
}

LRESULT TkCustomToolBar::OnAddButtons(WPARAM wParam, LPARAM lParam) {
    const auto* records = reinterpret_cast<const TBBUTTON*>(lParam);
    const int count = int(wParam);
    for (int i = 0; records && i < count; ++i) {
        const TBBUTTON& record = records[i];
        const int at = GetButtonCount();
        InsertButton(at, UINT(record.idCommand), record.idCommand == 0, i + 1 < count ? TRUE : FALSE);
        if (TkStdBtn* button = GetButtonAt(at)) {
            // The record's enabled bit would read as the word's disabled bit: enabling is the
            // command handlers' business, so it is left out.
            const DWORD state = DWORD(record.fsState & ~TBSTATE_ENABLED) << 16;
            button->SetStyleWord(button->GetStyleWord() | state | record.fsStyle);
        }
    }
    return TRUE;
}

LRESULT TkCustomToolBar::OnDeleteButton(WPARAM wParam, LPARAM) {
    RemoveButton(int(wParam), FALSE);
    return TRUE;
}

void TkCustomToolBar::FitToParent(SizeParentParams*) {
    if (m_pDockContext) return;
    // A bar in a dialog has no dock bar to size it: it spans its parent.
    HWND parent = ::vq::GetParent(m_hWnd);
    if (!parent) return;
    RECT client;
    GetClientRect(parent, &client);
    RECT window;
    GetWindowRect(m_hWnd, &window);
    POINT topLeft{window.left, window.top};
    ScreenToClient(parent, &topLeft);
    const bool vertical =
        (m_dwStyle & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT | CBRS_BORDER_RIGHT)) != 0;
    if (vertical)
        SetWindowPos(m_hWnd, 0, topLeft.x, 0, window.Width(), client.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    else
        SetWindowPos(m_hWnd, 0, 0, topLeft.y, client.Width(), window.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TkCustomToolBar::OnSizeParentMsg(WPARAM wParam, LPARAM lParam) {
    FitToParent(reinterpret_cast<SizeParentParams*>(lParam));
    return OnSizeParentMessage(wParam, lParam);
}

LRESULT TkCustomToolBar::OnSysColorChangeMsg(WPARAM, LPARAM) {
    const LRESULT result = Default();
    tkSysMetrics.UpdateSysColors();
    if (m_pOwnPaint) m_pOwnPaint->RecreateDitherBrush();
    if (TkToolBarManager* manager = GetToolBarManager()) manager->GetPaintContext().RecreateDitherBrush();
    if (m_pBmpMgr) m_pBmpMgr->RefreshAll(TRUE);
    if (m_hWnd) Invalidate(TRUE);
    return result;
}

void TkCustomizeToolBar::SetGroupWidth(const RECT& rect) {
    m_nMRUWidth = rect.Width();
    CalcLayout(-1, LM_COMMIT | LM_MRUWIDTH | LM_HORZ);
}

} // namespace vq

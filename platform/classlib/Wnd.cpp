#include "platform/classlib/Wnd.h"

#include "platform/classlib/ControlBar.h"
#include "platform/classlib/DataExchange.h"
#include "platform/classlib/DialogResource.h"
#include "platform/classlib/FrameWnd.h"
#include "platform/classlib/ToolTipCtrl.h"
#include "platform/gui/ControlTypes.h"
#include "platform/gui/DialogManager.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Icon.h"
#include "platform/gui/StandardControls.h"
#include "platform/res/Resources.h"

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace vq {

namespace {

// Window objects live on the GUI thread only, so the map needs no lock.
std::unordered_map<HWND, CWnd*>& HandleMap() {
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

// The messages being handled, innermost last, for Default().
std::vector<MSG>& CurrentMessages() {
    static std::vector<MSG> stack;
    return stack;
}

// The object whose window is being created by its own class, attached at the first message.
CWnd* creating = nullptr;

void SendToDescendants(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ::vq::SendMessage(child, message, wParam, lParam);
        SendToDescendants(child, message, wParam, lParam);
    }
}

bool IsReflectable(UINT message) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return true;
    default:
        return false;
    }
}

bool IsPointerMessage(UINT message) {
    return message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK;
}

bool SameTool(const TOOLINFO& a, const std::string& aText, const TOOLINFO& b, const std::string& bText) {
    return a.uFlags == b.uFlags && a.hwnd == b.hwnd && a.uId == b.uId && a.rect == b.rect &&
           a.lpszText == b.lpszText && aText == bText;
}

} // namespace

// The window's own tip and the tool last found under the pointer, its own text kept apart.
struct CWnd::ToolTips {
    CToolTipCtrl tip;
    bool hasTool = false;
    TOOLINFO tool;
    std::string text;
};

struct CWnd::TemplateParts {
    TemplateParts() = default;
    TemplateParts(const TemplateParts&) = delete;
    TemplateParts& operator=(const TemplateParts&) = delete;
    ~TemplateParts() {
        if (font) DeleteObject(font);
    }
    // The template's font: the window's own while the window lives.
    HFONT font = nullptr;
    SIZE baseUnits;
};

VQ_IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

VQ_BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
VQ_END_MESSAGE_MAP()

CWnd::CWnd() = default;

CWnd::~CWnd() {
    // The window goes with its object, after the object stopped taking its messages.
    if (HWND window = UnsubclassWindow(); window && IsWindow(window)) ::vq::DestroyWindow(window);
}

CWnd* CWnd::FromHandlePermanent(HWND window) {
    const auto it = HandleMap().find(window);
    return it == HandleMap().end() ? nullptr : it->second;
}

const char* CWnd::WindowClassName() {
    static const bool registered = [] {
        WNDCLASS wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &CWnd::WindowProcedure;
        wc.hCursor = LoadCursor(IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_WINDOW + 1));
        wc.lpszClassName = "VqWnd";
        return RegisterClass(wc) != FALSE;
    }();
    return registered ? "VqWnd" : nullptr;
}

const char* CWnd::IconWindowClassName(UINT resourceId) {
    static std::map<UINT, std::string> registered;
    if (const auto it = registered.find(resourceId); it != registered.end()) return it->second.c_str();
    HICON icon = LoadIcon(resourceId);
    if (!icon) return WindowClassName();
    WNDCLASS wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &CWnd::WindowProcedure;
    wc.hCursor = LoadCursor(IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_WINDOW + 1));
    wc.hIcon = icon;
    wc.hIconSm = LoadIcon(resourceId, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    const std::string name = "VqFrame" + std::to_string(resourceId);
    wc.lpszClassName = name.c_str();
    if (!RegisterClass(wc)) return WindowClassName();
    return registered.emplace(resourceId, name).first->second.c_str();
}

const char* CWnd::DialogClassName() {
    static const bool registered = [] {
        WNDCLASS wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &CWnd::WindowProcedure;
        wc.hCursor = LoadCursor(IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BTNFACE + 1));
        wc.lpszClassName = "VqDialog";
        return RegisterClass(wc) != FALSE;
    }();
    return registered ? "VqDialog" : nullptr;
}

BOOL CWnd::Attach(HWND window) {
    if (m_hWnd || !IsWindow(window) || FromHandlePermanent(window)) return FALSE;
    m_hWnd = window;
    HandleMap()[window] = this;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND window = m_hWnd;
    if (window) HandleMap().erase(window);
    m_hWnd = 0;
    return window;
}

BOOL CWnd::SubclassWindow(HWND window) {
    if (!Attach(window)) return FALSE;
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(window, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(&CWnd::WindowProcedure)));
    // A window of the library's own class has no previous procedure worth calling.
    if (m_pfnSuper == &CWnd::WindowProcedure) m_pfnSuper = nullptr;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    return parent ? SubclassWindow(::vq::GetDlgItem(parent->m_hWnd, int(id))) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    if (m_pfnSuper && IsWindow(m_hWnd))
        SetWindowLongPtr(m_hWnd, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    const RECT& rect, CWnd* parent, UINT id) {
    if (m_hWnd) return FALSE;
    CREATESTRUCT cs;
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName ? windowName : "";
    cs.style = style;
    // A rectangle that starts at CW_USEDEFAULT leaves place and size to the window layer.
    const bool placeByDefault = rect.left == CW_USEDEFAULT;
    cs.x = rect.left;
    cs.y = placeByDefault ? CW_USEDEFAULT : rect.top;
    cs.cx = placeByDefault ? CW_USEDEFAULT : rect.Width();
    cs.cy = placeByDefault ? CW_USEDEFAULT : rect.Height();
    cs.hwndParent = parent ? parent->m_hWnd : 0;
    cs.hMenu = id;
    if (!PreCreateWindow(cs) || !cs.lpszClass) return FALSE;
    CWnd* const outer = creating;
    creating = this;
    HWND window = CreateWindowEx(cs.dwExStyle, cs.lpszClass, cs.lpszName ? cs.lpszName : "", cs.style, cs.x,
                                 cs.y, cs.cx, cs.cy, cs.hwndParent, UINT(cs.hMenu), cs.lpCreateParams);
    creating = outer;
    if (!window) return FALSE;
    // A window of another class saw its creation messages already; from now on they come here.
    if (!m_hWnd) return SubclassWindow(window);
    return TRUE;
}

BOOL CWnd::CreateThrough(const std::function<HWND()>& make) {
    if (m_hWnd) return FALSE;
    CWnd* const outer = creating;
    creating = this;
    const HWND window = make();
    creating = outer;
    if (!window) return FALSE;
    if (!m_hWnd) return SubclassWindow(window);
    return TRUE;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (!cs.lpszClass) cs.lpszClass = WindowClassName();
    return cs.lpszClass != nullptr;
}

BOOL CWnd::CreateDlg(UINT templateId, CWnd* parent) {
    const auto loaded = LoadDialogTemplate(templateId);
    return loaded ? CreateDlgIndirect(*loaded, parent) : FALSE;
}

BOOL CWnd::CreateDlgIndirect(const DialogTemplate& dialogTemplate, CWnd* parent) {
    BOOL focusFirst = FALSE;
    if (!CreateFromTemplate(dialogTemplate, parent ? parent->m_hWnd : 0, true, &focusFirst)) return FALSE;
    // A popup shown at once starts at its first tab stop; a child dialog leaves the focus where
    // its parent has it.
    if (focusFirst && !IsChildStyle(dialogTemplate.style) && IsWindowVisible(m_hWnd))
        if (HWND first = GetNextDlgTabItem(m_hWnd, 0, FALSE)) SetFocus(first);
    return TRUE;
}

BOOL CWnd::CreateFromTemplate(const DialogTemplate& t, HWND parent, bool showAsTemplate, BOOL* focusFirst) {
    if (m_hWnd || !DialogClassName()) return FALSE;
    RegisterStandardControls();
    const bool child = IsChildStyle(t.style);
    if (child && !parent) return FALSE;
    RECT r = t.rect;
    if (t.rectIsClient && parent && !child) {
        POINT origin{};
        ClientToScreen(parent, &origin);
        r = OffsetRectBy(r, origin.x, origin.y);
    }
    const DWORD exStyle = t.exStyle | (child ? WS_EX_CONTROLPARENT : 0);
    CWnd* const outer = creating;
    creating = this;
    const HWND window = CreateWindowEx(exStyle, DialogClassName(), t.caption.c_str(), t.style & ~WS_VISIBLE,
                                       r.left, r.top, r.Width(), r.Height(), parent, 0, nullptr);
    creating = outer;
    if (!window) return FALSE;
    if (!m_hWnd && !SubclassWindow(window)) {
        ::vq::DestroyWindow(window);
        return FALSE;
    }
    m_templateParts = std::make_unique<TemplateParts>();
    m_templateParts->baseUnits = t.baseUnits;
    if (t.font) m_templateParts->font = t.font->Create();
    const HFONT font = m_templateParts->font;
    if (t.rectIsClient) {
        // Grow the window by its frame so the client area has the template's size.
        RECT outerRect, client;
        ::vq::GetWindowRect(window, &outerRect);
        ::vq::GetClientRect(window, &client);
        ::vq::SetWindowPos(window, 0, 0, 0, r.Width() + outerRect.Width() - client.Width(),
                           r.Height() + outerRect.Height() - client.Height(),
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (const DialogItemTemplate& item : t.items) {
        const RECT& ir = item.rect;
        const HWND control =
            CreateWindowEx(item.exStyle, item.className.c_str(), item.text.c_str(), item.style | WS_CHILD,
                           ir.left, ir.top, ir.Width(), ir.Height(), m_hWnd, item.id, nullptr);
        if (!control) {
            DestroyWindow();
            return FALSE;
        }
        // Drawn for the first time when the dialog shows, so nothing needs redrawing now.
        if (font) ::vq::SendMessage(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    const LRESULT focus = SendMessage(WM_INITDIALOG, 0, 0);
    if (focusFirst) *focusFirst = focus != 0;
    // The initialisation may have ended the dialog already.
    if (!m_hWnd) return FALSE;
    if (showAsTemplate && (t.style & WS_VISIBLE)) ShowWindow(m_hWnd, child ? SW_SHOWNA : SW_SHOW);
    return TRUE;
}

BOOL CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id) {
    return CreateEx(0, className, windowName, style, rect, parent, id);
}

BOOL CWnd::DestroyWindow() {
    return m_hWnd ? ::vq::DestroyWindow(m_hWnd) : FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::vq::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::vq::PostMessage(m_hWnd, message, wParam, lParam);
}

void CWnd::SetWindowText(const char* text) const {
    ::vq::SetWindowText(m_hWnd, text);
}

std::string CWnd::GetWindowText() const {
    std::string text(std::size_t(GetWindowTextLength(m_hWnd)) + 1, '\0');
    text.resize(std::size_t(::vq::GetWindowText(m_hWnd, text.data(), int(text.size()))));
    return text;
}

CWnd* CWnd::GetParent() const {
    return FromHandlePermanent(::vq::GetParent(m_hWnd));
}

CFrameWnd* CWnd::GetParentFrame() const {
    for (HWND window = ::vq::GetParent(m_hWnd); window; window = ::vq::GetParent(window))
        if (auto* frame = dynamic_cast<CFrameWnd*>(FromHandlePermanent(window))) return frame;
    return nullptr;
}

void CWnd::MapDialogRect(RECT* rect) const {
    SIZE base = m_templateParts ? m_templateParts->baseUnits : SIZE{};
    if (base.cx == 0 || base.cy == 0) {
        const DWORD units = GetDialogBaseUnits();
        base = {std::int32_t(LOWORD(units)), std::int32_t(HIWORD(units))};
    }
    *rect = DialogUnitsToPixels(base, *rect);
}

CWnd* CWnd::GetDlgItem(UINT id) const {
    return FromHandlePermanent(::vq::GetDlgItem(m_hWnd, int(id)));
}

UINT CWnd::GetDlgCtrlID() const {
    return UINT(::vq::GetDlgCtrlID(m_hWnd));
}

DWORD CWnd::GetStyle() const {
    return DWORD(GetWindowLongPtr(m_hWnd, GWL_STYLE));
}

void CWnd::Invalidate(BOOL erase) const {
    InvalidateRect(m_hWnd, nullptr, erase);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam) const {
    SendToDescendants(m_hWnd, message, wParam, lParam);
}

CWnd* CWnd::GetOwner() const {
    return m_hWndOwner ? FromHandlePermanent(m_hWndOwner) : GetParent();
}

void CWnd::RepositionBars(UINT first, UINT last, UINT leftOver, UINT flags, RECT* param, const RECT* client,
                          BOOL stretch) {
    SizeParentParams layout;
    layout.hDWP = (flags & reposQuery) ? nullptr : BeginDeferWindowPos(8);
    layout.bStretch = stretch;
    if (client)
        layout.rect = *client;
    else
        GetClientRect(m_hWnd, &layout.rect);
    HWND leftOverWindow = 0;
    for (HWND child = GetWindow(m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const UINT id = UINT(::vq::GetDlgCtrlID(child));
        if (id == leftOver) leftOverWindow = child;
        if (id >= first && id <= last && FromHandlePermanent(child))
            ::vq::SendMessage(child, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }
    if (flags & reposQuery) {
        if (param) *param = layout.rect;
        return;
    }
    if (flags & reposExtra && param) {
        layout.rect.left += param->left;
        layout.rect.top += param->top;
        layout.rect.right -= param->right;
        layout.rect.bottom -= param->bottom;
    }
    if (leftOverWindow) {
        RECT paneRect = layout.rect;
        if (const CWnd* pane = FromHandlePermanent(leftOverWindow)) pane->CalcWindowRect(&paneRect);
        RepositionWindow(&layout, leftOverWindow, paneRect);
    }
    if (layout.hDWP) EndDeferWindowPos(layout.hDWP);
}

void CWnd::CalcWindowRect(RECT*) const {}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
    CDataExchange exchange(this, saveAndValidate);
    try {
        DoDataExchange(&exchange);
    } catch (const DataExchangeFailure&) {
        return FALSE;
    }
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

LRESULT CWnd::Default() {
    const MSG& current = CurrentMessages().back();
    return DefWindowProc(current.message, current.wParam, current.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return CallWindowProc(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::vq::DefWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

CWnd* CWnd::NotifyingChild(HWND parent, UINT message, LPARAM lParam) {
    HWND child = 0;
    switch (message) {
    case WM_NOTIFY:
        child = lParam ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : 0;
        break;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        child = item && item->CtlType != ODT_MENU ? item->hwndItem : 0;
        break;
    }
    case WM_MEASUREITEM: {
        const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        child = item && item->CtlType != ODT_MENU ? ::vq::GetDlgItem(parent, int(item->CtlID)) : 0;
        break;
    }
    default:
        child = HWND(lParam);
        break;
    }
    CWnd* object = child ? FromHandlePermanent(child) : nullptr;
    return object && object->m_hWnd != parent ? object : nullptr;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (IsReflectable(message))
        if (CWnd* child = NotifyingChild(m_hWnd, message, lParam))
            if (child->OnChildNotify(message, wParam, lParam, result)) return TRUE;
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam)) {
            *result = 0;
            return TRUE;
        }
        return FALSE;
    }
    if (message == WM_GETFONT && m_templateParts) {
        *result = reinterpret_cast<LRESULT>(m_templateParts->font);
        return TRUE;
    }
    // Changes of the system's colours and settings reach top-level windows only; each passes
    // them on to every window inside it.
    if ((message == WM_SYSCOLORCHANGE || message == WM_SETTINGCHANGE) && !IsChildStyle(GetStyle()))
        SendMessageToDescendants(message, wParam, lParam);
    return OnMessageMap(message, wParam, lParam, result);
}

BOOL CWnd::OnMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const MessageMapEntry* entry = FindEntry(message, 0, 0);
    if (!entry || entry->sig != MsgSig::message) return FALSE;
    *result = entry->handler(*this, wParam, lParam, nullptr);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    // Without a control the command came from a menu (0) or an accelerator (1): both are commands.
    const int code = lParam ? int(HIWORD(wParam)) : CN_COMMAND;
    return OnCmdMsg(LOWORD(wParam), code, nullptr, nullptr);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    return ReflectChildNotify(message, wParam, lParam, result);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) {
        const MessageMapEntry* entry = FindEntry(WM_REFLECT_BASE + WM_COMMAND, int(HIWORD(wParam)), 0);
        if (!entry) return FALSE;
        entry->handler(*this, 0, 0, nullptr);
        if (result) *result = 0;
        return TRUE;
    }
    LRESULT ignored = 0;
    return OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, result ? result : &ignored);
}

BOOL CWnd::PreTranslateMessage(MSG* msg) {
    if (m_toolTips) FilterToolTipMessage(msg);
    return FALSE;
}

BOOL CWnd::EnableToolTips(BOOL enable) {
    if (!enable)
        m_toolTips.reset();
    else if (!m_toolTips)
        m_toolTips = std::make_unique<ToolTips>();
    return TRUE;
}

std::intptr_t CWnd::OnToolHitTest(POINT point, ToolHit* hit) const {
    const HWND child = ChildWindowFromPoint(m_hWnd, point);
    if (!child || child == m_hWnd) return -1;
    if (hit) {
        hit->info.uFlags = TTF_IDISHWND;
        hit->info.hwnd = m_hWnd;
        hit->info.uId = std::uintptr_t(child);
        hit->info.lpszText = LPSTR_TEXTCALLBACK;
    }
    return ::vq::GetDlgCtrlID(child);
}

void CWnd::FilterToolTipMessage(MSG* msg) {
    if (!m_toolTips || !IsPointerMessage(msg->message)) return;
    if (msg->hwnd != m_hWnd && !IsChild(m_hWnd, msg->hwnd)) return;
    // The nearest window with tips of its own looks after the pointer over it.
    for (HWND w = msg->hwnd; w != m_hWnd; w = ::vq::GetParent(w))
        if (CWnd* object = FromHandlePermanent(w); object && object->m_toolTips) return;
    POINT point{GET_X_LPARAM(msg->lParam), GET_Y_LPARAM(msg->lParam)};
    ClientToScreen(msg->hwnd, &point);
    ScreenToClient(m_hWnd, &point);
    ToolTips& tips = *m_toolTips;
    ToolHit hit;
    if (OnToolHitTest(point, &hit) == -1) {
        // Without its tool the tip has nothing to show.
        if (tips.hasTool) tips.tip.SendMessage(TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&tips.tool));
        tips.hasTool = false;
        return;
    }
    TOOLINFO wanted = hit.info;
    if (!wanted.hwnd) wanted.hwnd = m_hWnd;
    // A text of the hit test's own is kept here as a copy; markers and string ids as they are.
    std::string text = std::move(hit.text);
    if (wanted.lpszText && wanted.lpszText != LPSTR_TEXTCALLBACK && !IsTextId(wanted.lpszText)) {
        text = wanted.lpszText;
        wanted.lpszText = nullptr;
    }
    if (!tips.tip.m_hWnd && !tips.tip.Create(this, TTS_ALWAYSTIP)) return;
    if (!tips.hasTool || !SameTool(tips.tool, tips.text, wanted, text)) {
        if (tips.hasTool) tips.tip.SendMessage(TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&tips.tool));
        tips.tool = wanted;
        tips.text = std::move(text);
        TOOLINFO added = tips.tool;
        if (!added.lpszText) added.lpszText = tips.text.c_str();
        tips.hasTool = tips.tip.SendMessage(TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&added)) != 0;
    }
    // The tip knows the tool by its window: the message goes to it as that window's.
    const HWND toolWindow = (tips.tool.uFlags & TTF_IDISHWND) ? HWND(tips.tool.uId) : tips.tool.hwnd;
    POINT at = point;
    ClientToScreen(m_hWnd, &at);
    ScreenToClient(toolWindow, &at);
    MSG relayed = *msg;
    relayed.hwnd = toolWindow;
    relayed.lParam = MAKELPARAM(at.x, at.y);
    tips.tip.RelayEvent(&relayed);
}

BOOL CWnd::WalkPreTranslateTree(HWND stop, MSG* msg) {
    for (HWND window = msg->hwnd; window; window = ::vq::GetParent(window)) {
        if (CWnd* object = FromHandlePermanent(window); object && object->PreTranslateMessage(msg))
            return TRUE;
        if (window == stop) break;
    }
    return FALSE;
}

LRESULT CWnd::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* object = FromHandlePermanent(window);
    if (!object && creating && !creating->m_hWnd) {
        object = creating;
        object->Attach(window);
    }
    if (!object) return ::vq::DefWindowProc(window, message, wParam, lParam);
    CurrentMessages().push_back({window, message, wParam, lParam, 0, {}});
    const LRESULT result = object->WindowProc(message, wParam, lParam);
    CurrentMessages().pop_back();
    if (message == WM_NCDESTROY && FromHandlePermanent(window) == object) {
        // The tip's window, owned by this one, went before it; its object goes now.
        object->m_toolTips.reset();
        // The controls that drew with the template's font have gone before the window.
        object->m_templateParts.reset();
        object->m_pfnSuper = nullptr;
        object->Detach();
        object->PostNcDestroy();
    }
    return result;
}

} // namespace vq

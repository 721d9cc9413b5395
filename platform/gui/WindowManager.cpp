#include "platform/gui/ControlOverlay.h"
#include "platform/gui/Desktop.h"
#include "platform/gui/DragImage.h"
#include "platform/gui/FrameControl.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/GdiText.h"
#include "platform/gui/Hooks.h"
#include "platform/gui/Icon.h"
#include "platform/gui/Menu.h"
#include "platform/gui/NonClientMetrics.h"
#include "platform/gui/QtControl.h"
#include "platform/gui/SentMessageInbox.h"
#include "platform/gui/SizeMoveLoop.h"
#include "platform/gui/WindowRecord.h"
#include "platform/gui/WindowWidget.h"
#include "platform/thread/MessageQueue.h"
#include "platform/thread/MonotonicClock.h"
#include "platform/thread/QueueRegistry.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>
#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <unordered_map>
#include <utility>

namespace vq {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Which thread owns each window, for posts from any thread.
struct Owners {
    std::shared_mutex mutex;
    std::unordered_map<HWND, ThreadId> threads;
};
Owners& WindowOwners() {
    static Owners owners;
    return owners;
}

std::atomic<HWND> nextHandle{0x10000};
std::atomic<std::uintptr_t> nextWindowlessTimer{0x8000};

bool IsMouseMessage(UINT m) {
    return m >= WM_MOUSEFIRST && m <= WM_MOUSELAST;
}
bool IsButtonDown(UINT m) {
    return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN;
}
bool IsNonClientButtonDown(UINT m) {
    return m == WM_NCLBUTTONDOWN || m == WM_NCRBUTTONDOWN || m == WM_NCMBUTTONDOWN;
}

// Reported on position changes that left the client area's size or place as it was; default
// handling tells the window of the others with WM_SIZE and WM_MOVE.
constexpr UINT kClientUnsized = 0x0800;
constexpr UINT kClientUnmoved = 0x1000;

// The window system of one thread: its windows, their order, capture, focus and input state.
struct Manager {
    std::unordered_map<std::string, std::unique_ptr<WindowClass>> classes;
    std::unordered_map<HWND, std::unique_ptr<WindowRecord>> windows;
    // Destroyed windows still inside a dispatch.
    std::vector<std::unique_ptr<WindowRecord>> dying;
    std::vector<HWND> topLevels;
    HWND capture = 0;
    HWND focus = 0;
    HWND active = 0;
    std::array<std::uint8_t, 256> keys{};
    struct Click {
        UINT message = 0;
        HWND window = 0;
        DWORD time = 0;
        POINT point;
    } lastClick;
    std::map<std::pair<HWND, std::uintptr_t>, TIMERPROC> timerProcs;
    DWORD messageTime = 0;
    // Where the pointer was for the message last taken from the queue.
    POINT messagePos;
    POINT cursor;
    HCURSOR shownCursor = nullptr;
    std::unique_ptr<QSocketNotifier> notifier;
    int loopDepth = 0;
    bool pumpScheduled = false;
    bool resolverSet = false;
    bool keyThrownAway = false;
    // Alt went down with nothing pressed since: its release opens the menu bar.
    bool altAlone = false;

    ~Manager() {
        for (auto& [handle, record] : windows) {
            std::unique_lock lock(WindowOwners().mutex);
            WindowOwners().threads.erase(handle);
        }
    }
};

Manager& M() {
    thread_local Manager manager;
    return manager;
}

WindowRecord* Live(HWND window) {
    auto& m = M();
    auto it = m.windows.find(window);
    return it == m.windows.end() ? nullptr : it->second.get();
}

bool OnGuiThread() {
    auto* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

std::vector<HWND>& SiblingsOf(WindowRecord& record) {
    if (record.IsChild())
        if (WindowRecord* parent = Live(record.parent)) return parent->children;
    return M().topLevels;
}

// Qt stacks later children on top; raise each from the bottom of our order upwards.
void RestackWidgets(const std::vector<HWND>& siblings) {
    for (auto it = siblings.rbegin(); it != siblings.rend(); ++it)
        if (WindowRecord* r = Live(*it); r && r->widget) r->widget->raise();
}

LRESULT CallProc(WindowRecord& record, UINT message, WPARAM wParam, LPARAM lParam) {
    ++record.dispatchDepth;
    const LRESULT result = record.proc(record.handle, message, wParam, lParam);
    --record.dispatchDepth;
    if (record.destroyed && record.dispatchDepth == 0) {
        auto& dying = M().dying;
        // The record goes once the outermost dispatch to it has returned.
        std::erase_if(dying, [&](const auto& r) { return r.get() == &record; });
    }
    return result;
}

// Tool windows have the small caption.
int CaptionHeight(DWORD exStyle) {
    return GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
}

// Client area of a window with the given styles, in window coordinates.
RECT ClientArea(DWORD style, DWORD exStyle, RECT window) {
    int frame = 0;
    if (style & WS_THICKFRAME)
        frame = GetSystemMetrics(SM_CXFRAME);
    else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        frame = GetSystemMetrics(SM_CXDLGFRAME);
    else if (style & WS_BORDER)
        frame = GetSystemMetrics(SM_CXBORDER);
    RECT r{window.left + frame, window.top + frame, window.right - frame, window.bottom - frame};
    if ((style & WS_CAPTION) == WS_CAPTION) r.top += CaptionHeight(exStyle) - 1;
    const int edge = (exStyle & WS_EX_CLIENTEDGE)   ? GetSystemMetrics(SM_CXEDGE)
                     : (exStyle & WS_EX_STATICEDGE) ? 1
                                                    : 0;
    r = {r.left + edge, r.top + edge, r.right - edge, r.bottom - edge};
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
    return r;
}

} // namespace

BOOL AdjustWindowRectEx(RECT* r, DWORD style, BOOL menu, DWORD exStyle) {
    if (!r) return FALSE;
    const RECT sample{0, 0, 1000, 1000};
    const RECT client = ClientArea(style, exStyle, sample);
    r->left -= client.left;
    r->top -= client.top + (menu ? GetSystemMetrics(SM_CYMENU) : 0);
    r->right += sample.right - client.right;
    r->bottom += sample.bottom - client.bottom;
    return TRUE;
}

namespace {

RECT CaptionArea(const WindowRecord& record) {
    const RECT all{0, 0, record.rect.Width(), record.rect.Height()};
    const int frame =
        (record.style & WS_THICKFRAME) ? GetSystemMetrics(SM_CXFRAME) : GetSystemMetrics(SM_CXDLGFRAME);
    return {frame, frame, all.right - frame, frame + CaptionHeight(record.exStyle) - 1};
}

// The menu bar's row under the caption of a top-level window that has a menu; empty otherwise.
RECT MenuBarArea(const WindowRecord& record) {
    if (record.IsChild() || !GetMenu(record.handle)) return {};
    const RECT client = ClientArea(record.style, record.exStyle, {0, 0, record.rect.Width(), record.rect.Height()});
    const RECT caption = CaptionArea(record);
    const int top = (record.style & WS_CAPTION) == WS_CAPTION ? caption.bottom : client.top;
    return {client.left, top, client.right, top + GetSystemMetrics(SM_CYMENU)};
}

// The close box of a tool window with a system menu, at the right end of its small caption;
// empty for other windows.
RECT CloseBoxArea(const WindowRecord& record) {
    if ((record.style & WS_CAPTION) != WS_CAPTION || !(record.style & WS_SYSMENU) ||
        !(record.exStyle & WS_EX_TOOLWINDOW))
        return {};
    const RECT caption = CaptionArea(record);
    const int width = GetSystemMetrics(SM_CXSMSIZE) - 2;
    return {caption.right - 2 - width, caption.top + 2, caption.right - 2, caption.bottom - 3};
}

// The icon of a window's caption: its own small one, else its large one, else its class's.
HICON CaptionIcon(const WindowRecord& record) {
    for (LPARAM own : {record.icons[ICON_SMALL], record.icons[ICON_BIG]})
        if (own) return reinterpret_cast<HICON>(own);
    return record.windowClass->smallIcon ? record.windowClass->smallIcon : record.windowClass->icon;
}

// The small icon at the left end of a caption with a system menu; a press there drops that menu.
// Tool windows and windows without an icon have none.
RECT IconBoxArea(const WindowRecord& record) {
    if ((record.style & WS_CAPTION) != WS_CAPTION || !(record.style & WS_SYSMENU) ||
        (record.exStyle & WS_EX_TOOLWINDOW) || !CaptionIcon(record))
        return {};
    const RECT caption = CaptionArea(record);
    const int size = GetSystemMetrics(SM_CXSMICON);
    const int top = caption.top + std::max(0, (caption.Height() - 1 - size) / 2);
    return {caption.left + 1, top, caption.left + 1 + size, top + size};
}

struct CaptionBox {
    RECT rect;
    int hit;
    UINT kind;
};

// The boxes at the right end of an MDI child's caption, right to left: close, then maximise or
// restore and minimise as the style asks; each SM_CXSIZE wide.
std::vector<CaptionBox> CaptionBoxes(const WindowRecord& record) {
    std::vector<CaptionBox> boxes;
    if ((record.style & WS_CAPTION) != WS_CAPTION || !(record.style & WS_SYSMENU) ||
        !(record.exStyle & WS_EX_MDICHILD))
        return boxes;
    const RECT caption = CaptionArea(record);
    const int width = GetSystemMetrics(SM_CXSIZE) - 2;
    int right = caption.right - 2;
    const auto add = [&](int hit, UINT kind) {
        boxes.push_back({{right - width, caption.top + 2, right, caption.bottom - 3}, hit, kind});
        right -= width + 2;
    };
    add(HTCLOSE, DFCS_CAPTIONCLOSE);
    if (record.style & WS_MAXIMIZEBOX)
        add(HTMAXBUTTON, (record.style & (WS_MAXIMIZE | WS_MINIMIZE)) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX);
    if (record.style & WS_MINIMIZEBOX)
        add(HTMINBUTTON, (record.style & WS_MINIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN);
    return boxes;
}

// A WM_NCPAINT's wParam: 1 for the whole frame, else a region in screen coordinates, which
// comes back in window coordinates.
std::optional<Region> NcPaintRegion(const WindowRecord& record, WPARAM wParam) {
    auto* region = reinterpret_cast<HRGN>(wParam);
    if (wParam == 1 || !IsGdiObject(region) || region->ObjectType() != GdiObject::Type::Region)
        return std::nullopt;
    Region inWindow = region->region;
    const POINT origin = WindowScreenOrigin(record);
    inWindow.Offset(-origin.x, -origin.y);
    return inWindow;
}

void DrawFrame(WindowRecord& record, const std::optional<Region>& clip) {
    HDC dc = GetWindowDC(record.handle);
    if (clip) {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        region->region = *clip;
        SelectClipRgn(dc, region);
        DeleteObject(region);
    }
    RECT r{0, 0, record.rect.Width(), record.rect.Height()};
    const DWORD style = record.style;
    if ((style & WS_THICKFRAME) || (style & WS_DLGFRAME) || (record.exStyle & WS_EX_DLGMODALFRAME)) {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
        const int rest =
            ((style & WS_THICKFRAME) ? GetSystemMetrics(SM_CXFRAME) : GetSystemMetrics(SM_CXDLGFRAME)) - 2;
        for (int i = 0; i < rest; ++i) {
            FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
            r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        }
    } else if (style & WS_BORDER) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    if ((style & WS_CAPTION) == WS_CAPTION) {
        const bool active = record.captionActive;
        RECT caption = CaptionArea(record);
        caption.bottom -= 1;
        FillRect(dc, &caption, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
        RECT line{caption.left, caption.bottom, caption.right, caption.bottom + 1};
        FillRect(dc, &line, GetSysColorBrush(COLOR_BTNFACE));
        NONCLIENTMETRICS metrics;
        SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        HFONT font = CreateFontIndirect((record.exStyle & WS_EX_TOOLWINDOW) ? metrics.lfSmCaptionFont
                                                                            : metrics.lfCaptionFont);
        HGDIOBJ old = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        RECT text{caption.left + 2, caption.top, caption.right - 2, caption.bottom};
        if (const RECT icon = IconBoxArea(record); !icon.IsEmpty()) {
            DrawIconEx(dc, icon.left, icon.top, CaptionIcon(record), icon.Width(), icon.Height(), 0, nullptr,
                       DI_NORMAL);
            text.left = icon.right + 2;
        }
        DrawText(dc, record.text.c_str(), -1, &text,
                 DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        SelectObject(dc, old);
        DeleteObject(font);
        if (RECT close = CloseBoxArea(record); !close.IsEmpty())
            DrawFrameControl(dc, &close, DFC_CAPTION, DFCS_CAPTIONCLOSE);
        for (CaptionBox& box : CaptionBoxes(record))
            DrawFrameControl(dc, &box.rect, DFC_CAPTION, box.kind);
    }
    if (const RECT bar = MenuBarArea(record); !bar.IsEmpty()) PaintMenuBar(record.handle, dc, bar);
    DrawScrollBars(record, dc);
    // The client edge runs around the client area and the window's own scroll bars together.
    RECT client = record.client;
    for (int bar : {SB_HORZ, SB_VERT})
        if (const RECT area = ScrollBarRect(record, bar); !area.IsEmpty()) client = UnionRects(client, area);
    if (record.exStyle & WS_EX_CLIENTEDGE) {
        const int e = GetSystemMetrics(SM_CXEDGE);
        RECT edge{client.left - e, client.top - e, client.right + e, client.bottom + e};
        DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
    } else if (record.exStyle & WS_EX_STATICEDGE) {
        RECT edge{client.left - 1, client.top - 1, client.right + 1, client.bottom + 1};
        DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
    }
    ReleaseDC(record.handle, dc);
}

HBRUSH ClassBrush(const WindowClass& c) {
    const auto value = reinterpret_cast<std::uintptr_t>(c.background);
    // A small value is a system colour index plus one.
    if (value > 0 && value <= std::uintptr_t(kSystemColourCount)) return GetSysColorBrush(int(value) - 1);
    return c.background;
}

// -1 within `band` of the start, 1 within it of the end, else 0; the start wins on a small window.
int Zone(int at, int size, int band) {
    if (at < band) return -1;
    return at >= size - band ? 1 : 0;
}

// The sizing border of a window with a thick frame: its sides, and along each side the stretch
// near a corner, which sizes both ways.
int SizingBorderAt(const WindowRecord& r, POINT w) {
    const int frame = GetSystemMetrics(SM_CXFRAME);
    const int corner = frame + GetSystemMetrics(SM_CYCAPTION);
    const int width = r.rect.Width();
    const int height = r.rect.Height();
    int x = Zone(w.x, width, frame);
    int y = Zone(w.y, height, frame);
    if (x == 0 && y == 0) return HTNOWHERE;
    if (x == 0) x = Zone(w.x, width, corner);
    if (y == 0) y = Zone(w.y, height, corner);
    static constexpr int codes[3][3] = {{HTTOPLEFT, HTLEFT, HTBOTTOMLEFT},
                                        {HTTOP, HTNOWHERE, HTBOTTOM},
                                        {HTTOPRIGHT, HTRIGHT, HTBOTTOMRIGHT}};
    return codes[x + 1][y + 1];
}

// What lies at a point in window coordinates, as default handling answers WM_NCHITTEST.
int HitTestFrame(const WindowRecord& r, POINT w) {
    if (!RECT{0, 0, r.rect.Width(), r.rect.Height()}.Contains(w.x, w.y)) return HTNOWHERE;
    if (r.client.Contains(w.x, w.y)) return HTCLIENT;
    if (r.style & WS_THICKFRAME)
        if (const int border = SizingBorderAt(r, w); border != HTNOWHERE) return border;
    if (CloseBoxArea(r).Contains(w.x, w.y)) return HTCLOSE;
    if (IconBoxArea(r).Contains(w.x, w.y)) return HTSYSMENU;
    for (const CaptionBox& box : CaptionBoxes(r))
        if (box.rect.Contains(w.x, w.y)) return box.hit;
    if ((r.style & WS_CAPTION) == WS_CAPTION && CaptionArea(r).Contains(w.x, w.y)) return HTCAPTION;
    if (MenuBarArea(r).Contains(w.x, w.y)) return HTMENU;
    if (const int bar = HitTestScrollBars(r, w); bar != HTNOWHERE) return bar;
    return HTBORDER;
}

std::uintptr_t FrameCursor(int hit) {
    switch (hit) {
    case HTLEFT:
    case HTRIGHT:
        return IDC_SIZEWE;
    case HTTOP:
    case HTBOTTOM:
        return IDC_SIZENS;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        return IDC_SIZENWSE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        return IDC_SIZENESW;
    default:
        return IDC_ARROW;
    }
}

// A press on the frame becomes the system command that carries it out.
void StartFrameCommand(HWND window, int hit, LPARAM point) {
    const WindowRecord* r = Live(window);
    if (!r) return;
    UINT command = 0;
    if (hit == HTCAPTION)
        command = SC_MOVE | UINT(HTCAPTION);
    else if (hit == HTCLOSE)
        command = SC_CLOSE;
    else if (hit == HTSYSMENU)
        command = SC_MOUSEMENU | UINT(HTSYSMENU);
    else if (hit == HTMINBUTTON)
        command = (r->style & WS_MINIMIZE) ? SC_RESTORE : SC_MINIMIZE;
    else if (hit == HTMAXBUTTON)
        command = (r->style & (WS_MAXIMIZE | WS_MINIMIZE)) ? SC_RESTORE : SC_MAXIMIZE;
    else if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT)
        command = SC_SIZE | UINT(hit - HTLEFT + WMSZ_LEFT);
    else if (hit == HTGROWBOX && (r->style & WS_THICKFRAME))
        command = UINT(SC_SIZE) | UINT(WMSZ_BOTTOMRIGHT);
    else if (hit == HTVSCROLL)
        command = SC_VSCROLL | UINT(HTVSCROLL);
    else if (hit == HTHSCROLL)
        command = SC_HSCROLL | UINT(HTHSCROLL);
    if (hit == HTMENU) {
        const POINT origin = WindowScreenOrigin(*r);
        const POINT at{GET_X_LPARAM(point) - origin.x, GET_Y_LPARAM(point) - origin.y};
        if (const int item = MenuBarItemAt(window, MenuBarArea(*r), at); item >= 0) TrackMenuBarItem(window, item);
        return;
    }
    if (command) SendMessage(window, WM_SYSCOMMAND, command, point);
}

// The system menu drops below the caption's icon; the command chosen there comes back as a
// system command.
void TrackSystemMenu(HWND window) {
    const WindowRecord* r = Live(window);
    if (!r) return;
    const RECT icon = IconBoxArea(*r);
    const POINT origin = WindowScreenOrigin(*r);
    const POINT at{origin.x + icon.left, origin.y + CaptionArea(*r).bottom};
    const UINT chosen = UINT(TrackPopupMenu(GetSystemMenu(window, FALSE), TPM_RETURNCMD, at.x, at.y, 0, window, nullptr));
    if (chosen && IsWindow(window)) SendMessage(window, WM_SYSCOMMAND, chosen, MAKELPARAM(at.x, at.y));
}

void RunSystemCommand(HWND window, UINT command, LPARAM point) {
    const POINT screen{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    switch (command & 0xFFF0) {
    case SC_MOVE:
    case SC_SIZE:
        RunSizeMoveLoop(window, command, point);
        break;
    case SC_VSCROLL:
        TrackScrollBar(window, SB_VERT, screen);
        break;
    case SC_HSCROLL:
        TrackScrollBar(window, SB_HORZ, screen);
        break;
    case SC_CLOSE:
        SendMessage(window, WM_CLOSE, 0, 0);
        break;
    case SC_MOUSEMENU:
        TrackSystemMenu(window);
        break;
    case SC_KEYMENU:
        // A child without a bar of its own leaves the keyboard's menu to the window above it.
        if (const WindowRecord* r = Live(window); r && r->IsChild())
            SendMessage(r->parent, WM_SYSCOMMAND, command, point);
        else if (GetMenu(window))
            TrackMenuBarByKeyboard(window, char(point));
        break;
    default:
        break;
    }
}

void SchedulePump();

WPARAM SizeKind(DWORD style) {
    if (style & WS_MINIMIZE) return SIZE_MINIMIZED;
    return (style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
}

void Recompute(WindowRecord& record) {
    RECT r{0, 0, record.rect.Width(), record.rect.Height()};
    SendMessage(record.handle, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r));
    record.client = r;
}

void PlaceWidget(WindowRecord& record) {
    if (!record.widget) return;
    RECT r = record.rect;
    if (record.IsChild())
        if (WindowRecord* parent = Live(record.parent))
            r = OffsetRectBy(r, parent->client.left, parent->client.top);
    record.widget->setGeometry(r.left, r.top, r.Width(), r.Height());
    if (record.qtControl)
        record.qtControl->setGeometry(record.client.left, record.client.top, record.client.Width(),
                                      record.client.Height());
}

void MakeWidget(WindowRecord& record) {
    if (!OnGuiThread()) return;
    QWidget* parentWidget = nullptr;
    if (record.IsChild())
        if (WindowRecord* parent = Live(record.parent)) parentWidget = parent->widget;
    auto* widget = new WindowWidget(record.handle, parentWidget);
    record.widget = widget;
    PlaceWidget(record);
    RestackWidgets(SiblingsOf(record));
}

void SetVisible(WindowRecord& record, bool visible) {
    // A held bit still counts as shown: ShowWindow ends the hold either way.
    if (std::exchange(record.visibilityHeld, false)) record.style |= WS_VISIBLE;
    const bool was = (record.style & WS_VISIBLE) != 0;
    if (was == visible) return;
    SendMessage(record.handle, WM_SHOWWINDOW, visible, 0);
    if (visible)
        record.style |= WS_VISIBLE;
    else
        record.style &= ~WS_VISIBLE;
    if (record.widget) record.widget->setVisible(visible);
    if (visible) {
        record.frameDirty = true;
        InvalidateRect(record.handle, nullptr, TRUE);
    }
}

void ReleaseCaptureFor(HWND newCapture) {
    auto& m = M();
    const HWND old = m.capture;
    m.capture = newCapture;
    if (old && old != newCapture) SendMessage(old, WM_CAPTURECHANGED, 0, LPARAM(newCapture));
}

bool IsWithin(HWND window, HWND ancestor) {
    while (window) {
        if (window == ancestor) return true;
        WindowRecord* r = Live(window);
        if (!r || !r->IsChild()) return false;
        window = r->parent;
    }
    return false;
}

void MarkDestroying(WindowRecord& record, HWND root) {
    record.destroying = true;
    record.destroyRoot = root;
    for (HWND child : record.children)
        if (WindowRecord* c = Live(child); c && !c->destroying) MarkDestroying(*c, root);
}

// A window cannot outlive its owner: the windows owned by the one going, or by any window inside
// it, go first, each with what it owns in turn.
void DestroyOwned(HWND window) {
    const std::vector<HWND> tops = M().topLevels;
    for (HWND h : tops)
        if (WindowRecord* r = Live(h); r && !r->destroying && r->parent && IsWithin(r->parent, window))
            DestroyWindow(h);
}

void Unlink(WindowRecord& record) {
    std::erase(SiblingsOf(record), record.handle);
    auto& q = MessageQueue::Current();
    for (std::uintptr_t id : record.timers)
        q.KillTimer(record.handle, std::uint32_t(id));
    auto& m = M();
    std::erase_if(m.timerProcs, [&](const auto& entry) { return entry.first.first == record.handle; });
    DestroySystemMenu(record.handle);
    {
        std::unique_lock lock(WindowOwners().mutex);
        WindowOwners().threads.erase(record.handle);
    }
    auto it = m.windows.find(record.handle);
    record.destroyed = true;
    if (record.dispatchDepth > 0) m.dying.push_back(std::move(it->second));
    m.windows.erase(it);
}

void DestroyTree(WindowRecord& record) {
    const HWND handle = record.handle;
    SendMessage(handle, WM_DESTROY, 0, 0);
    const std::vector<HWND> children = record.children;
    for (HWND child : children)
        // A child already being destroyed by a call of its own finishes there.
        if (WindowRecord* c = Live(child); c && c->destroyRoot == record.destroyRoot) DestroyTree(*c);
    SendMessage(handle, WM_NCDESTROY, 0, 0);
    Unlink(record);
}

void PaintOrder(const std::vector<HWND>& windows, std::vector<HWND>& out) {
    for (HWND h : windows)
        if (WindowRecord* r = Live(h); r && (r->style & WS_VISIBLE)) {
            out.push_back(h);
            PaintOrder(r->children, out);
        }
}

HWND WindowNeedingPaint(HWND filter) {
    std::vector<HWND> order;
    PaintOrder(M().topLevels, order);
    for (HWND h : order) {
        WindowRecord* r = Live(h);
        if (r->NeedsPaint() && (!filter || filter == h)) return h;
    }
    return 0;
}

HWND ChildAt(WindowRecord& parent, POINT client) {
    for (HWND h : parent.children) {
        WindowRecord* c = Live(h);
        if (c && (c->style & WS_VISIBLE) && c->rect.Contains(client.x, client.y)) return h;
    }
    return 0;
}

HWND ResolveInput(const QueueEntry& entry) {
    auto& m = M();
    if (IsMouseMessage(entry.message) && entry.message != WM_MOUSEWHEEL)
        return m.capture ? m.capture : WindowFromPoint(POINT{entry.point.x, entry.point.y});
    return m.focus ? m.focus : m.active;
}

void EnsureResolver() {
    auto& m = M();
    if (m.resolverSet) return;
    MessageQueue::Current().SetTargetResolver(ResolveInput);
    m.resolverSet = true;
}

bool PumpMessages();

void EnsureNotifier() {
    auto& m = M();
    if (m.notifier || !OnGuiThread()) return;
    m.notifier =
        std::make_unique<QSocketNotifier>(MessageQueue::Current().Descriptor(), QSocketNotifier::Read);
    QObject::connect(m.notifier.get(), &QSocketNotifier::activated, [] {
        if (M().loopDepth == 0) PumpMessages();
    });
}

// Dispatches everything queued when Qt's own loop runs; a quit message ends that loop.
bool PumpMessages() {
    MSG msg;
    while (PeekMessage(&msg, 0, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            QCoreApplication::exit(int(msg.wParam));
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    return true;
}

// Painting is not queued input, so a GUI thread asleep in Qt's loop is woken for it.
void SchedulePump() {
    auto& m = M();
    if (m.pumpScheduled || !OnGuiThread()) return;
    m.pumpScheduled = true;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [] {
            M().pumpScheduled = false;
            if (M().loopDepth == 0) PumpMessages();
        },
        Qt::QueuedConnection);
}

void UpdateKeyState(const MSG& msg) {
    auto& keys = M().keys;
    auto press = [&](int vk) {
        keys[std::size_t(vk)] = std::uint8_t(0x80 | ((keys[std::size_t(vk)] & 1) ^ 1));
    };
    auto release = [&](int vk) { keys[std::size_t(vk)] &= 1; };
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN || IsMouseMessage(msg.message))
        if (msg.message != WM_MOUSEMOVE && msg.message != WM_NCMOUSEMOVE)
            M().altAlone = (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && msg.wParam == VK_MENU &&
                           !(msg.lParam & (1 << 30));
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        press(int(msg.wParam & 0xFF));
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        release(int(msg.wParam & 0xFF));
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        press(VK_LBUTTON);
        break;
    case WM_LBUTTONUP:
        release(VK_LBUTTON);
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        press(VK_RBUTTON);
        break;
    case WM_RBUTTONUP:
        release(VK_RBUTTON);
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        press(VK_MBUTTON);
        break;
    case WM_MBUTTONUP:
        release(VK_MBUTTON);
        break;
    default:
        break;
    }
}

// A second press soon after and near the first on a window of a double-click class; outside the
// client area every window hears of double clicks.
void DetectDoubleClick(MSG& msg) {
    auto& m = M();
    const bool nonClient = IsNonClientButtonDown(msg.message);
    if (!nonClient && !IsButtonDown(msg.message)) return;
    WindowRecord* r = Live(msg.hwnd);
    const auto& last = m.lastClick;
    const bool repeat = last.message == msg.message && last.window == msg.hwnd &&
                        msg.time - last.time <= GetDoubleClickTime() &&
                        std::abs(msg.pt.x - last.point.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                        std::abs(msg.pt.y - last.point.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    if (repeat && r && (nonClient || (r->windowClass->style & CS_DBLCLKS))) {
        msg.message += WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
        m.lastClick = {};
        return;
    }
    m.lastClick = {msg.message, msg.hwnd, msg.time, msg.pt};
}

HWND TopLevelOf(HWND window) {
    WindowRecord* r = Live(window);
    while (r && r->IsChild() && Live(r->parent))
        r = Live(r->parent);
    return r ? r->handle : 0;
}

// Before pointer input is handed out the window under it hears of it: a press in an inactive
// top-level window, or in any child window (which is never the active one itself), asks whether
// to activate and whether the press is eaten, and without capture every pointer message lets the
// window choose the cursor. False when the press is eaten.
bool AnnouncePointer(const MSG& msg, int hit, UINT message) {
    auto& m = M();
    if (IsButtonDown(message)) {
        const HWND top = TopLevelOf(msg.hwnd);
        if (top && (top != m.active || msg.hwnd != top)) {
            const LRESULT answer =
                SendMessage(msg.hwnd, WM_MOUSEACTIVATE, WPARAM(top), MAKELPARAM(hit, int(message)));
            if ((answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) && Live(top)) SetActiveWindow(top);
            if (answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT) return false;
        }
    }
    if (!m.capture && Live(msg.hwnd))
        SendMessage(msg.hwnd, WM_SETCURSOR, WPARAM(msg.hwnd), MAKELPARAM(hit, int(message)));
    return true;
}

// Fills the message from the queue entry; false when its pointer press was eaten on removal.
bool Complete(const QueueEntry& e, MSG* msg, bool removed) {
    // A wake for sent messages: the next look handles them.
    if (e.message == SentMessageInbox::kWakeMessage) return false;
    auto& m = M();
    int hit = HTNOWHERE;
    *msg = {e.target, e.message, e.wParam, e.lParam, e.time, POINT{e.point.x, e.point.y}};
    if (e.message == WM_TIMER) {
        auto it = m.timerProcs.find({e.target, e.wParam});
        msg->lParam = it == m.timerProcs.end() ? 0 : reinterpret_cast<LPARAM>(it->second);
    }
    if (e.input && IsMouseMessage(e.message) && e.message != WM_MOUSEWHEEL && msg->hwnd) {
        // The window says what lies under the point, unless it holds the capture; what is not its
        // client area it hears of as non-client input.
        hit = m.capture == msg->hwnd
                  ? HTCLIENT
                  : int(SendMessage(msg->hwnd, WM_NCHITTEST, 0, MAKELPARAM(msg->pt.x, msg->pt.y)));
        if (hit == HTCLIENT) {
            POINT p = msg->pt;
            ScreenToClient(msg->hwnd, &p);
            msg->lParam = MAKELPARAM(p.x, p.y);
        } else {
            msg->wParam = WPARAM(hit);
            msg->lParam = MAKELPARAM(msg->pt.x, msg->pt.y);
            msg->message += WM_NCMOUSEMOVE - WM_MOUSEMOVE;
        }
        if (removed && !AnnouncePointer(*msg, hit, e.message)) return false;
    }
    if (!removed) {
        CallInputHooks(*msg, hit, false);
        return true;
    }
    DetectDoubleClick(*msg);
    // The character of a key a hook threw away goes with it: it was queued right behind its key.
    const bool isChar = msg->message == WM_CHAR || msg->message == WM_SYSCHAR;
    if (isChar && std::exchange(m.keyThrownAway, false)) return false;
    m.keyThrownAway = false;
    // Input a hook throws away never reaches the key-state table.
    if (CallInputHooks(*msg, hit, true)) {
        m.keyThrownAway = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
        return false;
    }
    m.messageTime = msg->time;
    m.messagePos = IsMouseMessage(e.message) ? msg->pt : m.cursor;
    UpdateKeyState(*msg);
    return true;
}

} // namespace

// ---- Record access for the layer ----

WindowRecord* FindWindowRecord(HWND window) {
    return Live(window);
}

RECT MenuBarRect(HWND window) {
    const WindowRecord* r = Live(window);
    if (!r) return {};
    const RECT bar = MenuBarArea(*r);
    if (bar.IsEmpty()) return {};
    const POINT origin = WindowScreenOrigin(*r);
    return OffsetRectBy(bar, origin.x, origin.y);
}

POINT WindowScreenOrigin(const WindowRecord& record) {
    POINT p{record.rect.left, record.rect.top};
    const WindowRecord* r = &record;
    while (r->IsChild()) {
        const WindowRecord* parent = Live(r->parent);
        if (!parent) break;
        p.x += parent->rect.left + parent->client.left;
        p.y += parent->rect.top + parent->client.top;
        r = parent;
    }
    return p;
}

void PostInput(UINT message, WPARAM wParam, LPARAM lParam, POINT screen) {
    EnsureResolver();
    QueueEntry e;
    e.message = message;
    e.wParam = wParam;
    e.lParam = lParam;
    e.point = {screen.x, screen.y};
    e.targetOpen = true;
    e.input = true;
    MessageQueue::Current().Post(e);
}

void SetCursorPosition(POINT screen) {
    M().cursor = screen;
}

void ProcessQtEvents() {
    if (!OnGuiThread()) return;
    auto& m = M();
    ++m.loopDepth;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    --m.loopDepth;
}

void ShowRetainedImage(WindowRecord& record) {
    if (record.widget) record.widget->update();
}

std::vector<HWND> TopLevelWindows() {
    return M().topLevels;
}

void SchedulePaint() {
    SchedulePump();
}

void BroadcastSysColorChange() {
    for (const auto& [handle, record] : M().windows)
        if (record->qtControl) SetQtControlColours(record->qtControl);
    const std::vector<HWND> tops = M().topLevels;
    for (HWND h : tops)
        SendMessage(h, WM_SYSCOLORCHANGE, 0, 0);
}

// ---- Classes and windows ----

BOOL RegisterClass(const WNDCLASS& wc) {
    if (!wc.lpszClassName || !*wc.lpszClassName || !wc.lpfnWndProc) return FALSE;
    auto& classes = M().classes;
    const std::string key = Lower(wc.lpszClassName);
    if (classes.count(key)) return FALSE;
    auto c = std::make_unique<WindowClass>();
    c->name = wc.lpszClassName;
    c->style = wc.style;
    c->proc = wc.lpfnWndProc;
    c->cursor = wc.hCursor;
    c->background = wc.hbrBackground;
    c->windowExtra = wc.cbWndExtra;
    c->icon = wc.hIcon;
    c->smallIcon = wc.hIconSm;
    classes.emplace(key, std::move(c));
    return TRUE;
}

BOOL UnregisterClass(const char* name) {
    if (!name) return FALSE;
    auto& m = M();
    auto it = m.classes.find(Lower(name));
    if (it == m.classes.end()) return FALSE;
    for (const auto& [h, r] : m.windows)
        if (r->windowClass == it->second.get()) return FALSE;
    m.classes.erase(it);
    return TRUE;
}

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, std::int32_t x,
                    std::int32_t y, std::int32_t width, std::int32_t height, HWND parent,
                    std::uintptr_t menuOrId, void* param) {
    auto& m = M();
    auto cls = className ? m.classes.find(Lower(className)) : m.classes.end();
    if (cls == m.classes.end()) return 0;
    const bool child = IsChildStyle(style);
    if (child && !Live(parent)) return 0;
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) width = 400, height = 300;
    width = std::clamp(width, 0, 1 << 14);
    height = std::clamp(height, 0, 1 << 14);

    auto record = std::make_unique<WindowRecord>();
    WindowRecord& r = *record;
    r.handle = nextHandle.fetch_add(4);
    r.windowClass = cls->second.get();
    r.proc = r.windowClass->proc;
    r.style = style & ~WS_VISIBLE;
    r.exStyle = exStyle;
    r.parent = parent;
    r.id = child ? menuOrId : 0;
    r.thread = CurrentThreadId();
    r.rect = {x, y, x + width, y + height};
    r.image.Resize(width, height);
    r.client = {0, 0, width, height};
    m.windows.emplace(r.handle, std::move(record));
    {
        std::unique_lock lock(WindowOwners().mutex);
        WindowOwners().threads[r.handle] = r.thread;
    }
    // A new child goes to the bottom of its siblings, a new top-level window to the top.
    if (child)
        Live(parent)->children.push_back(r.handle);
    else
        m.topLevels.insert(m.topLevels.begin(), r.handle);
    EnsureResolver();
    EnsureNotifier();
    // Other threads may send to the window from now on.
    SentMessageInbox::Current();

    const HWND handle = r.handle;
    CREATESTRUCT cs{param, menuOrId, parent, height, width, y, x, style, title, className, exStyle};
    if (!SendMessage(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        DestroyWindow(handle);
        return 0;
    }
    Recompute(r);
    MakeWidget(r);
    if (SendMessage(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(handle);
        return 0;
    }
    if (!Live(handle)) return 0;
    SendMessage(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(r.client.Width(), r.client.Height()));
    SendMessage(handle, WM_MOVE, 0, MAKELPARAM(r.rect.left + r.client.left, r.rect.top + r.client.top));
    if (Live(handle) && (style & WS_VISIBLE)) {
        SetVisible(r, true);
        if (!child) SetActiveWindow(handle);
    }
    return Live(handle) ? handle : 0;
}

BOOL DestroyWindow(HWND window) {
    WindowRecord* r = Live(window);
    // A window already on its way out is not destroyed twice.
    if (!r || r->destroying) return FALSE;
    MarkDestroying(*r, window);
    DestroyOwned(window);
    auto& m = M();
    if (m.capture && IsWithin(m.capture, window)) ReleaseCapture();
    if (m.focus && IsWithin(m.focus, window)) m.focus = 0;
    if (m.active == window) m.active = 0;
    if (r->widget) {
        r->widget->hide();
        r->widget->deleteLater();
    }
    DestroyTree(*r);
    return TRUE;
}

BOOL IsWindow(HWND window) {
    if (Live(window)) return TRUE;
    std::shared_lock lock(WindowOwners().mutex);
    return WindowOwners().threads.count(window) != 0;
}

BOOL IsChild(HWND parent, HWND window) {
    return window != parent && IsWithin(window, parent);
}

HWND GetParent(HWND window) {
    WindowRecord* r = Live(window);
    return r ? r->parent : 0;
}

HWND SetParent(HWND window, HWND newParent) {
    WindowRecord* r = Live(window);
    WindowRecord* parent = Live(newParent);
    if (!r || !r->IsChild() || !parent || newParent == window || IsWithin(newParent, window)) return 0;
    const HWND old = r->parent;
    if (old == newParent) return old;
    if (WindowRecord* oldParent = Live(old)) {
        auto& siblings = oldParent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
        InvalidateRect(old, nullptr, TRUE);
    }
    r->parent = newParent;
    parent->children.insert(parent->children.begin(), window);
    if (r->widget) {
        r->widget->setParent(parent->widget);
        PlaceWidget(*r);
        r->widget->setVisible((r->style & WS_VISIBLE) != 0);
        RestackWidgets(parent->children);
    }
    if (r->style & WS_VISIBLE) {
        r->frameDirty = true;
        InvalidateRect(window, nullptr, TRUE);
    }
    return old;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
    POINT origin{0, 0};
    if (from) ClientToScreen(from, &origin);
    POINT target{0, 0};
    if (to) ClientToScreen(to, &target);
    const std::int32_t dx = origin.x - target.x, dy = origin.y - target.y;
    for (UINT i = 0; i < count; ++i)
        points[i].x += dx, points[i].y += dy;
    return int(MAKELPARAM(dx, dy));
}

HWND GetWindow(HWND window, UINT relation) {
    WindowRecord* r = Live(window);
    if (!r) return 0;
    if (relation == GW_CHILD) return r->children.empty() ? 0 : r->children.front();
    if (relation == GW_OWNER) return r->IsChild() ? 0 : r->parent;
    const auto& siblings = SiblingsOf(*r);
    auto it = std::find(siblings.begin(), siblings.end(), window);
    switch (relation) {
    case GW_HWNDFIRST:
        return siblings.front();
    case GW_HWNDLAST:
        return siblings.back();
    case GW_HWNDNEXT:
        return it + 1 < siblings.end() ? *(it + 1) : 0;
    case GW_HWNDPREV:
        return it != siblings.begin() ? *(it - 1) : 0;
    default:
        return 0;
    }
}

HWND GetTopWindow(HWND parent) {
    if (!parent) return M().topLevels.empty() ? 0 : M().topLevels.front();
    return GetWindow(parent, GW_CHILD);
}

HWND GetDlgItem(HWND parent, int id) {
    WindowRecord* r = Live(parent);
    if (!r) return 0;
    for (HWND h : r->children)
        if (Live(h)->id == std::uintptr_t(id)) return h;
    return 0;
}

int GetDlgCtrlID(HWND window) {
    WindowRecord* r = Live(window);
    return r ? int(r->id) : 0;
}

BOOL SetWindowContextHelpId(HWND window, DWORD helpId) {
    WindowRecord* r = Live(window);
    if (!r) return FALSE;
    r->contextHelpId = helpId;
    return TRUE;
}

DWORD GetWindowContextHelpId(HWND window) {
    WindowRecord* r = Live(window);
    return r ? r->contextHelpId : 0;
}

std::intptr_t GetWindowLongPtr(HWND window, int index) {
    WindowRecord* r = Live(window);
    if (!r) return 0;
    switch (index) {
    case GWLP_WNDPROC:
        return reinterpret_cast<std::intptr_t>(r->proc);
    case GWLP_ID:
        return std::intptr_t(r->id);
    case GWL_STYLE:
        return std::intptr_t(r->style);
    case GWL_EXSTYLE:
        return std::intptr_t(r->exStyle);
    case GWLP_USERDATA:
        return r->userData;
    default:
        return 0;
    }
}

std::uintptr_t GetClassLongPtr(HWND window, int index) {
    const WindowRecord* r = Live(window);
    if (!r) return 0;
    if (index == GCLP_HICON) return reinterpret_cast<std::uintptr_t>(r->windowClass->icon);
    if (index == GCLP_HICONSM) return reinterpret_cast<std::uintptr_t>(r->windowClass->smallIcon);
    return 0;
}

std::intptr_t SetWindowLongPtr(HWND window, int index, std::intptr_t value) {
    WindowRecord* r = Live(window);
    if (!r) return 0;
    const std::intptr_t old = GetWindowLongPtr(window, index);
    switch (index) {
    case GWLP_WNDPROC:
        if (value) r->proc = reinterpret_cast<WNDPROC>(value);
        break;
    case GWLP_ID:
        r->id = std::uintptr_t(value);
        break;
    case GWL_STYLE: {
        // Showing and hiding go through ShowWindow so that the widget follows. Taking the bit
        // off a shown window only holds back its frame painting; the window stays on screen
        // until the bit returns.
        const bool shown = (r->style & WS_VISIBLE) || r->visibilityHeld;
        const bool wanted = (DWORD(value) & WS_VISIBLE) != 0;
        r->visibilityHeld = shown && !wanted;
        r->style = (DWORD(value) & ~WS_VISIBLE) | (shown && wanted ? WS_VISIBLE : 0);
        break;
    }
    case GWL_EXSTYLE:
        r->exStyle = DWORD(value);
        break;
    case GWLP_USERDATA:
        r->userData = value;
        break;
    default:
        return 0;
    }
    return old;
}

int GetClassName(HWND window, char* out, int size) {
    WindowRecord* r = Live(window);
    if (!r || !out || size <= 0) return 0;
    const int n = std::min(int(r->windowClass->name.size()), size - 1);
    std::memcpy(out, r->windowClass->name.data(), std::size_t(n));
    out[n] = '\0';
    return n;
}

BOOL SetWindowText(HWND window, const char* text) {
    return Live(window) && SendMessage(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
}

int GetWindowText(HWND window, char* out, int size) {
    if (!Live(window) || !out || size <= 0) return 0;
    return int(SendMessage(window, WM_GETTEXT, WPARAM(size), reinterpret_cast<LPARAM>(out)));
}

int GetWindowTextLength(HWND window) {
    return Live(window) ? int(SendMessage(window, WM_GETTEXTLENGTH, 0, 0)) : 0;
}

// ---- Geometry ----

bool ApplyWindowPos(WINDOWPOS& pos) {
    const HWND window = pos.hwnd;
    WindowRecord* r = Live(window);
    if (!r) return false;
    const UINT flags = pos.flags;
    if (flags & SWP_NOMOVE) pos.x = r->rect.left, pos.y = r->rect.top;
    if (flags & SWP_NOSIZE) pos.cx = r->rect.Width(), pos.cy = r->rect.Height();
    SendMessage(window, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if (!(r = Live(window))) return false;
    if (!(flags & SWP_NOZORDER) && pos.hwndInsertAfter != window) {
        auto& siblings = SiblingsOf(*r);
        std::erase(siblings, window);
        if (pos.hwndInsertAfter == HWND_TOP) {
            siblings.insert(siblings.begin(), window);
        } else if (pos.hwndInsertAfter == HWND_BOTTOM) {
            siblings.push_back(window);
        } else {
            auto after = std::find(siblings.begin(), siblings.end(), pos.hwndInsertAfter);
            siblings.insert(after == siblings.end() ? siblings.begin() : after + 1, window);
        }
        RestackWidgets(siblings);
    }
    const RECT rect{pos.x, pos.y, pos.x + std::clamp(pos.cx, 0, 1 << 14),
                    pos.y + std::clamp(pos.cy, 0, 1 << 14)};
    const bool moved = rect.left != r->rect.left || rect.top != r->rect.top;
    const bool sized = rect.Width() != r->rect.Width() || rect.Height() != r->rect.Height();
    const RECT clientBefore = OffsetRectBy(r->client, r->rect.left, r->rect.top);
    r->rect = rect;
    if (sized || (flags & SWP_FRAMECHANGED)) {
        r->image.Resize(rect.Width(), rect.Height());
        Recompute(*r);
        for (HWND child : r->children)
            PlaceWidget(*Live(child));
        r->frameDirty = true;
        if (!(flags & SWP_NOREDRAW)) InvalidateRect(window, nullptr, TRUE);
    }
    // The old picture is not carried to the new place: the whole window draws itself again.
    if ((flags & SWP_NOCOPYBITS) && !(flags & SWP_NOREDRAW)) {
        r->frameDirty = true;
        InvalidateRect(window, nullptr, TRUE);
    }
    PlaceWidget(*r);
    pos.flags = flags & ~(SWP_NOMOVE | SWP_NOSIZE);
    if (!moved) pos.flags |= SWP_NOMOVE;
    if (!sized) pos.flags |= SWP_NOSIZE;
    // A new frame may change the client area of a window that kept its size and place.
    const RECT clientAfter = OffsetRectBy(r->client, r->rect.left, r->rect.top);
    if (clientAfter.Width() == clientBefore.Width() && clientAfter.Height() == clientBefore.Height())
        pos.flags |= kClientUnsized;
    if (clientAfter.left == clientBefore.left && clientAfter.top == clientBefore.top)
        pos.flags |= kClientUnmoved;
    if (flags & SWP_SHOWWINDOW) SetVisible(*r, true);
    if (flags & SWP_HIDEWINDOW) SetVisible(*r, false);
    return Live(window) != nullptr;
}

BOOL SetWindowPos(HWND window, HWND insertAfter, std::int32_t x, std::int32_t y, std::int32_t cx,
                  std::int32_t cy, UINT flags) {
    WINDOWPOS pos{window, insertAfter, x, y, cx, cy, flags};
    if (!ApplyWindowPos(pos)) return FALSE;
    SendMessage(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    // A child placed without SWP_NOACTIVATE is told, as the system tells an MDI child, so it can
    // hand the focus to whatever it shows.
    if (!(flags & SWP_NOACTIVATE) && IsWindow(window) && (GetWindowLongPtr(window, GWL_STYLE) & WS_CHILD))
        SendMessage(window, WM_CHILDACTIVATE, 0, 0);
    return TRUE;
}

BOOL MoveWindow(HWND window, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                BOOL repaint) {
    return SetWindowPos(window, 0, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : UINT(SWP_NOREDRAW)));
}

BOOL ShowWindow(HWND window, int command) {
    WindowRecord* r = Live(window);
    if (!r) return FALSE;
    const BOOL was = (r->style & WS_VISIBLE) != 0;
    SetVisible(*r, command != SW_HIDE);
    if (command == SW_HIDE && was && !r->IsChild() && M().active == window) {
        // The active window going out of sight hands the activation to its owner.
        const WindowRecord* owner = Live(r->parent);
        SetActiveWindow(owner && (owner->style & WS_VISIBLE) ? r->parent : 0);
        if (!Live(window)) return was;
    }
    if (command != SW_HIDE && command != SW_SHOWNA && command != SW_SHOWNOACTIVATE && !r->IsChild() &&
        Live(window))
        SetActiveWindow(window);
    return was;
}

BOOL IsWindowVisible(HWND window) {
    for (WindowRecord* r = Live(window); r; r = r->IsChild() ? Live(r->parent) : nullptr) {
        if (!(r->style & WS_VISIBLE)) return FALSE;
        if (!r->IsChild()) return TRUE;
    }
    return FALSE;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    WindowRecord* r = Live(window);
    if (!r) return FALSE;
    const BOOL wasDisabled = (r->style & WS_DISABLED) != 0;
    if (bool(enable) == !wasDisabled) return wasDisabled;
    if (enable)
        r->style &= ~WS_DISABLED;
    else
        r->style |= WS_DISABLED;
    SendMessage(window, WM_ENABLE, WPARAM(enable), 0);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND window) {
    WindowRecord* r = Live(window);
    return r && !(r->style & WS_DISABLED);
}

BOOL GetWindowRect(HWND window, RECT* out) {
    WindowRecord* r = Live(window);
    if (!r || !out) return FALSE;
    const POINT o = WindowScreenOrigin(*r);
    *out = {o.x, o.y, o.x + r->rect.Width(), o.y + r->rect.Height()};
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* out) {
    WindowRecord* r = Live(window);
    if (!r || !out) return FALSE;
    *out = {0, 0, r->client.Width(), r->client.Height()};
    return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* p) {
    WindowRecord* r = Live(window);
    if (!r || !p) return FALSE;
    const POINT o = WindowScreenOrigin(*r);
    p->x += o.x + r->client.left;
    p->y += o.y + r->client.top;
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* p) {
    WindowRecord* r = Live(window);
    if (!r || !p) return FALSE;
    const POINT o = WindowScreenOrigin(*r);
    p->x -= o.x + r->client.left;
    p->y -= o.y + r->client.top;
    return TRUE;
}

HWND WindowFromPoint(POINT screen) {
    for (HWND top : M().topLevels) {
        WindowRecord* r = Live(top);
        if (!r || !(r->style & WS_VISIBLE) || !r->rect.Contains(screen.x, screen.y)) continue;
        // Down through the children under the point, each time the topmost one.
        HWND found = top;
        while (true) {
            POINT client = screen;
            ScreenToClient(found, &client);
            WindowRecord* current = Live(found);
            if (!current->client.Contains(client.x + current->client.left, client.y + current->client.top))
                break;
            const HWND child = ChildAt(*current, client);
            if (!child) break;
            found = child;
        }
        return found;
    }
    return 0;
}

HWND ChildWindowFromPoint(HWND parent, POINT client) {
    WindowRecord* r = Live(parent);
    if (!r || client.x < 0 || client.y < 0 || client.x >= r->client.Width() || client.y >= r->client.Height())
        return 0;
    const HWND child = ChildAt(*r, client);
    return child ? child : parent;
}

// ---- Messages ----

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (WindowRecord* r = Live(window)) return r->destroyed ? 0 : CallProc(*r, message, wParam, lParam);
    ThreadId owner = 0;
    {
        std::shared_lock lock(WindowOwners().mutex);
        auto it = WindowOwners().threads.find(window);
        if (it == WindowOwners().threads.end()) return 0;
        owner = it->second;
    }
    // A window of another thread handles the message there while this thread waits.
    return SentMessageInbox::Send(owner, window, message, wParam, lParam);
}

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    QueueEntry e;
    e.target = window;
    e.message = message;
    e.wParam = wParam;
    e.lParam = lParam;
    if (!window) return MessageQueue::Current().Post(e);
    ThreadId thread = 0;
    {
        std::shared_lock lock(WindowOwners().mutex);
        auto it = WindowOwners().threads.find(window);
        if (it == WindowOwners().threads.end()) return FALSE;
        thread = it->second;
    }
    return QueueRegistry::Instance().Post(thread, e);
}

namespace {

// An entry that woke this thread for sent messages says nothing more once it is reached. Peeked
// without removal it is the first one a look for it meets, so taking that one takes it.
void DropWake(MessageQueue& q, bool removed) {
    constexpr MessageRange wakes{SentMessageInbox::kWakeMessage, SentMessageInbox::kWakeMessage};
    QueueEntry e;
    if (!removed) q.Peek(e, TargetFilter::Any(), wakes, PeekRemove | PeekPostedOnly);
}

} // namespace

void PostQuitMessage(int exitCode) {
    QueueEntry e;
    e.message = WM_QUIT;
    e.wParam = WPARAM(exitCode);
    MessageQueue::Current().Post(e);
}

BOOL PeekMessage(MSG* msg, HWND window, UINT first, UINT last, UINT remove) {
    if (!msg) return FALSE;
    EnsureResolver();
    auto& q = MessageQueue::Current();
    // Messages other threads sent are handled before anything queued is looked at.
    SentMessageInbox::Current().HandleWaiting();
    const TargetFilter filter = window ? TargetFilter::ForWindow(window) : TargetFilter::Any();
    const MessageRange range{first, last};
    const unsigned take = (remove & PM_REMOVE) ? PeekRemove : PeekKeep;
    QueueEntry e;
    // Posted messages first, then painting, then timers.
    if (q.Peek(e, filter, range, take | PeekPostedOnly)) {
        if (e.message == SentMessageInbox::kWakeMessage) DropWake(q, take == PeekRemove);
        if (!Complete(e, msg, take == PeekRemove)) return PeekMessage(msg, window, first, last, remove);
        return TRUE;
    }
    if (range.Matches(WM_PAINT))
        if (const HWND paint = WindowNeedingPaint(window)) {
            *msg = {paint, WM_PAINT, 0, 0, GetTickCount(), M().cursor};
            return TRUE;
        }
    if (q.Peek(e, filter, range, take)) {
        if (e.message == SentMessageInbox::kWakeMessage) DropWake(q, take == PeekRemove);
        if (!Complete(e, msg, take == PeekRemove)) return PeekMessage(msg, window, first, last, remove);
        return TRUE;
    }
    return FALSE;
}

BOOL GetMessage(MSG* msg, HWND window, UINT first, UINT last) {
    auto& m = M();
    while (!PeekMessage(msg, window, first, last, PM_REMOVE)) {
        if (OnGuiThread()) {
            // Qt's input and our queue's descriptor both end this wait.
            EnsureNotifier();
            ++m.loopDepth;
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            --m.loopDepth;
        } else {
            MessageQueue::Current().Wait({}, MessageQueue::kInfinite);
        }
    }
    return msg->message != WM_QUIT;
}

BOOL TranslateMessage(const MSG* msg) {
    (void)msg;
    return FALSE;
}

namespace {
thread_local ThreadMessageHandler threadMessageHandler = nullptr;
} // namespace

ThreadMessageHandler SetThreadMessageHandler(ThreadMessageHandler handler) {
    return std::exchange(threadMessageHandler, handler);
}

LRESULT DispatchMessage(const MSG* msg) {
    if (!msg) return 0;
    if (!msg->hwnd && msg->message != WM_TIMER) {
        if (threadMessageHandler) threadMessageHandler(*msg);
        return 0;
    }
    if (msg->message == WM_TIMER && msg->lParam) {
        if (msg->hwnd && !Live(msg->hwnd)) return 0;
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    // Messages for a window destroyed since they were posted are dropped.
    WindowRecord* r = Live(msg->hwnd);
    if (!r) return 0;
    return CallProc(*r, msg->message, msg->wParam, msg->lParam);
}

LRESULT CallWindowProc(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return proc ? proc(window, message, wParam, lParam) : 0;
}

DWORD GetMessageTime() {
    return M().messageTime;
}

DWORD GetMessagePos() {
    const POINT p = M().messagePos;
    return DWORD(std::uint16_t(p.x)) | (DWORD(std::uint16_t(p.y)) << 16);
}

DWORD GetTickCount() {
    return DWORD(std::uint64_t(MonotonicNow()) / 1'000'000);
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowRecord* r = Live(window);
    if (!r) return 0;
    switch (message) {
    case WM_NCCREATE: {
        const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
        if (cs && cs->lpszName) r->text = cs->lpszName;
        return TRUE;
    }
    case WM_NCCALCSIZE: {
        auto* rect = reinterpret_cast<RECT*>(lParam);
        if (!rect) return 0;
        RECT client = ClientArea(r->style, r->exStyle, *rect);
        if (!r->IsChild() && GetMenu(window))
            client.top = std::min(client.bottom, client.top + GetSystemMetrics(SM_CYMENU));
        *rect = ReserveScrollBars(*r, client);
        return 0;
    }
    case WM_NCPAINT:
        if (!(r->style & WS_VISIBLE)) return 0;
        DrawFrame(*r, NcPaintRegion(*r, wParam));
        return 0;
    case WM_NCACTIVATE:
        r->captionActive = wParam != 0;
        if (r->style & WS_VISIBLE) {
            r->frameDirty = true;
            SchedulePump();
        }
        return TRUE;
    case WM_NCHITTEST: {
        const POINT origin = WindowScreenOrigin(*r);
        return HitTestFrame(*r, POINT{GET_X_LPARAM(lParam) - origin.x, GET_Y_LPARAM(lParam) - origin.y});
    }
    case WM_NCLBUTTONDOWN:
        StartFrameCommand(window, int(wParam), lParam);
        return 0;
    case WM_NCLBUTTONDBLCLK:
        // A bar's arrows and page areas take every press, however quick.
        if (wParam == HTHSCROLL || wParam == HTVSCROLL) StartFrameCommand(window, int(wParam), lParam);
        return 0;
    case WM_SYSCOMMAND:
        RunSystemCommand(window, UINT(wParam), lParam);
        return 0;
    case WM_SYSKEYUP:
        if (wParam == VK_MENU && std::exchange(M().altAlone, false)) SendMessage(window, WM_SYSCOMMAND, SC_KEYMENU, 0);
        return 0;
    case WM_SYSCHAR:
        M().altAlone = false;
        SendMessage(window, WM_SYSCOMMAND, SC_KEYMENU, LPARAM(static_cast<unsigned char>(wParam)));
        return 0;
    case WM_ERASEBKGND: {
        HBRUSH brush = ClassBrush(*r->windowClass);
        if (!brush) return 0;
        RECT all{0, 0, r->client.Width(), r->client.Height()};
        FillRect(reinterpret_cast<HDC>(wParam), &all, brush);
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_SETTEXT:
        r->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        if ((r->style & WS_CAPTION) == WS_CAPTION && (r->style & WS_VISIBLE)) {
            r->frameDirty = true;
            SchedulePump();
        }
        if (r->widget && !r->IsChild()) r->widget->setWindowTitle(QString::fromUtf8(r->text.c_str()));
        return TRUE;
    case WM_GETTEXT: {
        auto* out = reinterpret_cast<char*>(lParam);
        if (!out || wParam == 0) return 0;
        const std::size_t n = std::min(r->text.size(), std::size_t(wParam) - 1);
        std::memcpy(out, r->text.data(), n);
        out[n] = '\0';
        return LRESULT(n);
    }
    case WM_GETTEXTLENGTH:
        return LRESULT(r->text.size());
    case WM_SETICON: {
        if (wParam > ICON_BIG) return 0;
        const LPARAM old = std::exchange(r->icons[wParam], lParam);
        r->frameDirty = true;
        SchedulePump();
        return old;
    }
    case WM_GETICON:
        return wParam <= ICON_BIG ? r->icons[wParam] : 0;
    case WM_CANCELMODE:
        // Whatever the window was tracking ends: a menu's loop, and the capture that a move, a
        // size or a scroll bar held.
        EndMenu();
        if (M().capture == window) ReleaseCapture();
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !IsWithin(M().focus, window)) SetFocus(window);
        return 0;
    case WM_WINDOWPOSCHANGED: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!pos) return 0;
        if (!(pos->flags & kClientUnsized))
            SendMessage(window, WM_SIZE, SizeKind(r->style), MAKELPARAM(r->client.Width(), r->client.Height()));
        if (!(pos->flags & kClientUnmoved) && (r = Live(window)))
            SendMessage(window, WM_MOVE, 0,
                        MAKELPARAM(r->rect.left + r->client.left, r->rect.top + r->client.top));
        return 0;
    }
    case WM_RBUTTONUP: {
        // Releasing the right button asks for the context menu at that point of the screen.
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(window, &p);
        SendMessage(window, WM_CONTEXTMENU, WPARAM(window), MAKELPARAM(p.x, p.y));
        return 0;
    }
    case WM_CONTEXTMENU:
        // A child without a menu of its own lets its parent offer one.
        return r->IsChild() ? SendMessage(r->parent, message, wParam, lParam) : 0;
    case WM_MOUSEWHEEL:
        // A child that leaves the wheel alone lets its parent scroll; the point is on the screen,
        // so the message goes up as it came.
        return r->IsChild() ? SendMessage(r->parent, message, wParam, lParam) : 0;
    case WM_MOUSEACTIVATE:
        // The parent decides first, so a container can keep its children from activating it.
        if (r->IsChild())
            if (const LRESULT answer = SendMessage(r->parent, WM_MOUSEACTIVATE, wParam, lParam))
                return answer;
        return MA_ACTIVATE;
    case WM_SETCURSOR: {
        if (r->IsChild() && SendMessage(r->parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
        r = Live(window);
        const int hit = std::int16_t(LOWORD(std::uintptr_t(lParam)));
        if (!r || hit == HTERROR) return FALSE;
        if (hit == HTCLIENT) {
            if (!r->windowClass->cursor) return FALSE;
            SetCursor(r->windowClass->cursor);
            return TRUE;
        }
        SetCursor(LoadCursor(FrameCursor(hit)));
        return TRUE;
    }
    default:
        return 0;
    }
}

// ---- Painting ----

BOOL InvalidateRect(HWND window, const RECT* r, BOOL erase) {
    WindowRecord* record = Live(window);
    if (!record) return FALSE;
    const RECT all{0, 0, record->client.Width(), record->client.Height()};
    const RECT area = r ? IntersectRects(*r, all) : all;
    record->update = Region::Combine(record->update, Region(area), RGN_OR);
    record->erasePending = record->erasePending || erase;
    SchedulePump();
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* r) {
    WindowRecord* record = Live(window);
    if (!record) return FALSE;
    record->update = r ? Region::Combine(record->update, Region(*r), RGN_DIFF) : Region();
    return TRUE;
}

namespace {

// A client-area context on the window's retained image, where painting draws.
HDC ImageClientDC(WindowRecord& r) {
    return new DeviceContext(DeviceContext::Kind::Window, &r.image, POINT{r.client.left, r.client.top},
                             Region(r.client), r.handle);
}

} // namespace

BOOL GetUpdateRect(HWND window, RECT* r, BOOL erase) {
    WindowRecord* record = Live(window);
    if (!record) return FALSE;
    if (r) *r = record->update.Bounds();
    if (erase && record->erasePending && !record->update.IsEmpty()) {
        // Erasing draws where painting will.
        HDC dc = ImageClientDC(*record);
        SelectClipRgn(dc, nullptr);
        record->erasePending = false;
        SendMessage(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        ReleaseDC(window, dc);
    }
    return !record->update.IsEmpty();
}

BOOL UpdateWindow(HWND window) {
    WindowRecord* r = Live(window);
    if (!r) return FALSE;
    if (r->NeedsPaint() && IsWindowVisible(window)) SendMessage(window, WM_PAINT, 0, 0);
    return TRUE;
}

namespace {

// Whatever the layer draws over a window by itself (a drag image) makes way for the window's own
// drawing while any of its contexts is open.
HDC OpenWindowContext(WindowRecord& record, HDC dc) {
    if (record.openContexts++ == 0) DragImage::OfThread().WindowDrawingBegins(record.handle);
    return dc;
}

} // namespace

HDC BeginPaint(HWND window, PAINTSTRUCT* ps) {
    WindowRecord* r = Live(window);
    if (!r || !ps) return nullptr;
    if (r->frameDirty) {
        r->frameDirty = false;
        SendMessage(window, WM_NCPAINT, 1, 0);
    }
    Region area =
        Region::Combine(r->update, Region(RECT{0, 0, r->client.Width(), r->client.Height()}), RGN_AND);
    r->update = Region();
    r->internalPaint = false;
    ps->rcPaint = area.Bounds();
    area.Offset(r->client.left, r->client.top);
    HDC dc = OpenWindowContext(*r, new DeviceContext(DeviceContext::Kind::Window, &r->image,
                                                     POINT{r->client.left, r->client.top}, std::move(area),
                                                     window));
    ps->hdc = dc;
    ps->fErase = TRUE;
    if (r->erasePending) {
        r->erasePending = false;
        ps->fErase = SendMessage(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    }
    return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* ps) {
    if (!ps) return FALSE;
    return ReleaseDC(window, ps->hdc);
}

namespace {

HDC ScreenDC() {
    // The screen has no image of its own here; its context serves as a colour reference.
    static Bitmap screen(1, 1, false);
    return new DeviceContext(DeviceContext::Kind::Window, &screen, POINT{}, Region(RECT{0, 0, 1, 1}), 0);
}

} // namespace

HDC GetDC(HWND window) {
    if (!window) return ScreenDC();
    WindowRecord* r = Live(window);
    if (!r) return nullptr;
    // The client area of a control that Qt paints is the Qt widget's picture, not the image.
    if (r->overlay) return r->overlay->OpenDC(window);
    return OpenWindowContext(*r, ImageClientDC(*r));
}

HDC GetWindowDC(HWND window) {
    if (!window) return ScreenDC();
    WindowRecord* r = Live(window);
    if (!r) return nullptr;
    return OpenWindowContext(*r, new DeviceContext(DeviceContext::Kind::Window, &r->image, POINT{},
                                                   Region(RECT{0, 0, r->rect.Width(), r->rect.Height()}),
                                                   window));
}

int ReleaseDC(HWND window, HDC dc) {
    if (!dc || dc->ContextKind() != DeviceContext::Kind::Window || dc->Window() != window) return 0;
    if (window == GetDesktopWindow()) {
        delete dc;
        ReleaseDesktopContext();
        return 1;
    }
    if (WindowRecord* r = Live(window); r && r->overlay && r->overlay->Owns(dc)) {
        delete dc;
        r->overlay->Closed();
        return 1;
    }
    delete dc;
    // What was drawn is already in the image; the widget shows it at its next repaint.
    if (WindowRecord* r = Live(window)) {
        if (r->openContexts > 0 && --r->openContexts == 0) DragImage::OfThread().WindowDrawingEnds(window);
        ShowRetainedImage(*r);
    }
    return 1;
}

// ---- Capture, focus, activation, input state ----

HWND SetCapture(HWND window) {
    auto& m = M();
    const HWND old = m.capture;
    if (!Live(window)) return old;
    ReleaseCaptureFor(window);
    return old;
}

BOOL ReleaseCapture() {
    ReleaseCaptureFor(0);
    return TRUE;
}

HWND GetCapture() {
    return M().capture;
}

HWND SetFocus(HWND window) {
    auto& m = M();
    const HWND old = m.focus;
    if (window && !Live(window)) return 0;
    if (window == old) return old;
    m.focus = window;
    if (old && Live(old)) SendMessage(old, WM_KILLFOCUS, WPARAM(window), 0);
    if (window && m.focus == window) {
        HWND top = window;
        while (Live(top) && Live(top)->IsChild())
            top = Live(top)->parent;
        if (m.active != top) SetActiveWindow(top);
        if (m.focus == window) SendMessage(window, WM_SETFOCUS, WPARAM(old), 0);
    }
    return old;
}

HWND GetFocus() {
    return M().focus;
}

HWND SetActiveWindow(HWND window) {
    auto& m = M();
    const HWND old = m.active;
    if (window == old || (window && !Live(window))) return old;
    m.active = window;
    if (old && Live(old)) {
        SendMessage(old, WM_NCACTIVATE, FALSE, 0);
        SendMessage(old, WM_ACTIVATE, WA_INACTIVE, LPARAM(window));
    }
    if (window && m.active == window) {
        SendMessage(window, WM_NCACTIVATE, TRUE, 0);
        SendMessage(window, WM_ACTIVATE, WA_ACTIVE, LPARAM(old));
    }
    return old;
}

HWND GetActiveWindow() {
    return M().active;
}

BOOL SetForegroundWindow(HWND window) {
    const WindowRecord* r = Live(window);
    if (!r) return FALSE;
    while (r->IsChild())
        if (const WindowRecord* parent = Live(r->parent)) r = parent;
        else break;
    SetActiveWindow(r->handle);
    return TRUE;
}

HWND GetForegroundWindow() {
    return M().active;
}

void DeactivateApplication() {
    ReleaseCapture();
    SetActiveWindow(0);
}

std::int16_t GetKeyState(int key) {
    if (key < 0 || key > 255) return 0;
    const std::uint8_t state = M().keys[std::size_t(key)];
    return std::int16_t((state & 0x80 ? 0xFF80 : 0) | (state & 1));
}

std::int16_t GetAsyncKeyState(int key) {
    return GetKeyState(key);
}

BOOL GetCursorPos(POINT* p) {
    if (!p) return FALSE;
    *p = M().cursor;
    return TRUE;
}

// ---- Timers ----

std::uintptr_t SetTimer(HWND window, std::uintptr_t id, UINT milliseconds, TIMERPROC proc) {
    auto& m = M();
    if (window) {
        WindowRecord* r = Live(window);
        if (!r) return 0;
        if (std::find(r->timers.begin(), r->timers.end(), id) == r->timers.end()) r->timers.push_back(id);
    } else {
        id = nextWindowlessTimer.fetch_add(1);
    }
    MessageQueue::Current().SetTimer(window, std::uint32_t(id), milliseconds);
    if (proc)
        m.timerProcs[{window, id}] = proc;
    else
        m.timerProcs.erase({window, id});
    SchedulePump();
    return id ? id : 1;
}

BOOL KillTimer(HWND window, std::uintptr_t id) {
    auto& m = M();
    m.timerProcs.erase({window, id});
    if (WindowRecord* r = Live(window)) std::erase(r->timers, id);
    return MessageQueue::Current().KillTimer(window, std::uint32_t(id));
}

// ---- Cursors ----

namespace {
// Qt's cursor shapes by value: arrow, I-beam, wait, cross, the four sizes, size-all, forbidden, hand.
constinit const CursorShape kCursors[] = {{0}, {4}, {3}, {2}, {8}, {7}, {6}, {5}, {9}, {14}, {13}};
} // namespace

HCURSOR LoadCursor(std::uintptr_t id) {
    switch (id) {
    case IDC_ARROW:
        return &kCursors[0];
    case IDC_IBEAM:
        return &kCursors[1];
    case IDC_WAIT:
        return &kCursors[2];
    case IDC_CROSS:
        return &kCursors[3];
    case IDC_SIZENWSE:
        return &kCursors[4];
    case IDC_SIZENESW:
        return &kCursors[5];
    case IDC_SIZEWE:
        return &kCursors[6];
    case IDC_SIZENS:
        return &kCursors[7];
    case IDC_SIZEALL:
        return &kCursors[8];
    case IDC_NO:
        return &kCursors[9];
    case IDC_HAND:
        return &kCursors[10];
    default:
        return id <= 0xFFFFFFFF ? LoadCursorResource(std::uint32_t(id)) : nullptr;
    }
}

HCURSOR SetCursor(HCURSOR cursor) {
    auto& m = M();
    const HCURSOR old = m.shownCursor;
    m.shownCursor = cursor;
    if (cursor && OnGuiThread())
        for (HWND top : m.topLevels)
            if (WindowRecord* r = Live(top); r && r->widget) r->widget->setCursor(QtCursorOf(cursor));
    return old;
}

HCURSOR GetCursor() {
    return M().shownCursor;
}

} // namespace vq

#include "platform/gui/Menu.h"

#include "platform/gui/Gdi.h"
#include "platform/gui/GdiObjectTable.h"
#include "platform/gui/NonClientMetrics.h"
#include "platform/res/Resources.h"
#include "platform/res/TemplateReader.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace vq {

struct MenuItem {
    UINT flags = 0;
    UINT id = 0;
    HMENU popup = nullptr;
    std::string text;
    std::uintptr_t data = 0;
    HBITMAP checked = nullptr;
    HBITMAP unchecked = nullptr;
    std::int32_t height = 0;
    std::int32_t width = 0;
};

struct MenuRecord {
    std::vector<MenuItem> items;
};

namespace {

// Menus and hooks belong to the GUI thread only.
std::unordered_set<HMENU>& Menus() {
    static std::unordered_set<HMENU> menus;
    return menus;
}

MenuItem* Find(HMENU menu, UINT item, UINT flags) {
    if (!IsMenu(menu)) return nullptr;
    if (flags & MF_BYPOSITION) return item < menu->items.size() ? &menu->items[item] : nullptr;
    for (MenuItem& i : menu->items) {
        if (!i.popup && i.id == item) return &i;
        if (i.popup)
            if (MenuItem* inner = Find(i.popup, item, flags)) return inner;
    }
    return nullptr;
}

constexpr std::int32_t TextItemHeight = 19;
constexpr std::int32_t SeparatorHeight = 9;
constexpr std::int32_t TextMargin = 20;

char MnemonicOf(const std::string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '&') {
            if (text[i + 1] == '&') {
                ++i;
                continue;
            }
            return char(std::tolower(static_cast<unsigned char>(text[i + 1])));
        }
    return 0;
}

bool Selectable(const MenuItem& item) {
    return !(item.flags & MF_SEPARATOR);
}

// One open popup of the loop.
struct Level {
    HMENU menu = nullptr;
    HWND window = 0;
    int selected = -1;
};

struct Tracking {
    HWND owner = 0;
    std::vector<Level> levels;
    bool ended = false;
    UINT chosen = 0;
    // A popup dropped from a menu bar: Left and Right past its ends move along the bar (-1, 1).
    bool fromBar = false;
    int barStep = 0;
};

Tracking* tracking = nullptr;

// A tick in the margin before the text, three pixels thick, in the text's colour.
void DrawCheckMark(HDC dc, const RECT& item, COLORREF colour) {
    const std::int32_t x = item.left + 6, y = (item.top + item.bottom) / 2 - 1;
    for (std::int32_t i = 0; i < 7; ++i) {
        // Down two pixels for the short stroke, then up for the long one.
        const std::int32_t top = i < 3 ? y + i - 1 : y + 4 - i;
        for (std::int32_t k = 0; k < 3; ++k)
            SetPixel(dc, x + i, top + k, colour);
    }
}

HFONT ItemFont(const MenuItem& item) {
    return item.flags & MFS_DEFAULT ? MenuDefaultFont() : MenuFont();
}

void DrawMenuItem(HWND window, HDC dc, const Level& level, int index, RECT r) {
    const MenuItem& item = level.menu->items[std::size_t(index)];
    const bool selected = index == level.selected;
    if (item.flags & MF_OWNERDRAW) {
        DRAWITEMSTRUCT dis;
        dis.CtlType = ODT_MENU;
        dis.itemID = item.id;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = (selected ? ODS_SELECTED : 0) | (item.flags & MF_GRAYED ? ODS_GRAYED : 0) |
                        (item.flags & MF_DISABLED ? ODS_DISABLED : 0) |
                        (item.flags & MF_CHECKED ? ODS_CHECKED : 0);
        dis.hwndItem = HWND(reinterpret_cast<std::uintptr_t>(level.menu));
        dis.hDC = dc;
        dis.rcItem = r;
        dis.itemData = item.data;
        SendMessage(tracking ? tracking->owner : GetParent(window), WM_DRAWITEM, 0,
                    reinterpret_cast<LPARAM>(&dis));
        return;
    }
    FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    if (item.flags & MF_SEPARATOR) {
        RECT line{r.left + 1, r.top + SeparatorHeight / 2 - 1, r.right - 1, r.top + SeparatorHeight / 2 + 1};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(item.flags & (MF_GRAYED | MF_DISABLED) ? COLOR_GRAYTEXT
                                 : selected                             ? COLOR_HIGHLIGHTTEXT
                                                                        : COLOR_MENUTEXT));
    RECT text{r.left + TextMargin, r.top, r.right - TextMargin, r.bottom};
    const HGDIOBJ font = SelectObject(dc, ItemFont(item));
    DrawText(dc, item.text.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, font);
    if (item.flags & MF_CHECKED) DrawCheckMark(dc, r, GetTextColor(dc));
    if (item.popup) {
        RECT arrow{r.right - 14, r.top, r.right - 4, r.bottom};
        DrawText(dc, ">", -1, &arrow, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

Level* LevelOf(HWND window) {
    if (!tracking) return nullptr;
    for (Level& l : tracking->levels)
        if (l.window == window) return &l;
    return nullptr;
}

int ItemAt(const Level& level, std::int32_t y) {
    std::int32_t top = 1;
    for (std::size_t i = 0; i < level.menu->items.size(); ++i) {
        const std::int32_t h = level.menu->items[i].height;
        if (y >= top && y < top + h) return int(i);
        top += h;
    }
    return -1;
}

LRESULT PopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        if (const Level* level = LevelOf(window)) {
            RECT client;
            GetClientRect(window, &client);
            HGDIOBJ old = SelectObject(dc, MenuFont());
            std::int32_t top = client.top + 1;
            for (std::size_t i = 0; i < level->menu->items.size(); ++i) {
                const std::int32_t h = level->menu->items[i].height;
                DrawMenuItem(window, dc, *level, int(i),
                             RECT{client.left + 1, top, client.right - 1, top + h});
                top += h;
            }
            SelectObject(dc, old);
        }
        EndPaint(window, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(window, &client);
        FillRect(HDC(wParam), &client, GetSysColorBrush(COLOR_MENU));
        return 1;
    }
    case WM_CANCELMODE:
        if (tracking) tracking->ended = true;
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        return DefWindowProc(window, message, wParam, lParam);
    }
}

const char* PopupClass() {
    static const bool registered = [] {
        WNDCLASS wc;
        wc.lpfnWndProc = PopupProc;
        wc.hCursor = LoadCursor(IDC_ARROW);
        wc.lpszClassName = "VqMenuPopup";
        return RegisterClass(wc) != FALSE;
    }();
    return registered ? "VqMenuPopup" : nullptr;
}

void Measure(HMENU menu, HWND owner, std::int32_t& width, std::int32_t& height) {
    HDC dc = GetDC(0);
    HGDIOBJ old = SelectObject(dc, MenuFont());
    width = 80;
    height = 2;
    for (MenuItem& item : menu->items) {
        if (item.flags & MF_OWNERDRAW) {
            MEASUREITEMSTRUCT mis;
            mis.CtlType = ODT_MENU;
            mis.itemID = item.id;
            mis.itemData = item.data;
            mis.itemHeight = TextItemHeight;
            SendMessage(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
            item.width = std::int32_t(mis.itemWidth);
            item.height = std::int32_t(mis.itemHeight);
        } else if (item.flags & MF_SEPARATOR) {
            item.width = 0;
            item.height = SeparatorHeight;
        } else {
            RECT r{};
            const HGDIOBJ font = SelectObject(dc, ItemFont(item));
            DrawText(dc, item.text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
            SelectObject(dc, font);
            item.width = r.Width() + 2 * TextMargin;
            item.height = TextItemHeight;
        }
        width = std::max(width, item.width + 2);
        height += item.height;
    }
    SelectObject(dc, old);
    ReleaseDC(0, dc);
}

constexpr UINT TypeBits = MFT_BITMAP | MFT_OWNERDRAW | MFT_SEPARATOR;
constexpr UINT StateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MFS_DEFAULT;

void Highlight(HMENU menu, int index, bool on) {
    if (!IsMenu(menu) || index < 0 || std::size_t(index) >= menu->items.size()) return;
    UINT& flags = menu->items[std::size_t(index)].flags;
    flags = on ? flags | MF_HILITE : flags & ~UINT(MF_HILITE);
}

bool IsSystemMenu(HMENU menu);

void Select(Level& level, int index) {
    if (level.selected == index) return;
    Highlight(level.menu, level.selected, false);
    Highlight(level.menu, index, true);
    level.selected = index;
    InvalidateRect(level.window, nullptr, TRUE);
    if (index < 0) return;
    const MenuItem& item = level.menu->items[std::size_t(index)];
    const UINT flags = (item.flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_OWNERDRAW | MF_SEPARATOR)) |
                       MF_HILITE | (item.popup ? UINT(MF_POPUP) : 0u);
    const UINT idOrPosition = item.popup ? UINT(index) : item.id;
    SendMessage(tracking->owner, WM_MENUSELECT, WPARAM(MAKELPARAM(int(idOrPosition), int(flags))),
                reinterpret_cast<LPARAM>(level.menu));
}

bool Open(HMENU menu, POINT at, int position) {
    SendMessage(tracking->owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                MAKELPARAM(position, IsSystemMenu(menu) ? TRUE : FALSE));
    if (!IsMenu(menu) || tracking->ended) return false;
    std::int32_t width = 0, height = 0;
    Measure(menu, tracking->owner, width, height);
    HWND window = CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, PopupClass(), "", WS_POPUP | WS_BORDER,
                                 at.x, at.y, width + 2, height + 2, 0, 0, nullptr);
    if (!window) return false;
    tracking->levels.push_back({menu, window, -1});
    ShowWindow(window, SW_SHOWNA);
    return true;
}

void CloseLevel() {
    Highlight(tracking->levels.back().menu, tracking->levels.back().selected, false);
    HWND window = tracking->levels.back().window;
    tracking->levels.pop_back();
    DestroyWindow(window);
}

void Step(Level& level, int direction) {
    const int n = int(level.menu->items.size());
    int at = level.selected;
    for (int k = 0; k < n; ++k) {
        at = at < 0 ? (direction > 0 ? 0 : n - 1) : (at + direction + n) % n;
        if (Selectable(level.menu->items[std::size_t(at)])) {
            Select(level, at);
            return;
        }
    }
}

void OpenSelected() {
    Level& level = tracking->levels.back();
    if (level.selected < 0) return;
    const MenuItem& item = level.menu->items[std::size_t(level.selected)];
    if (!item.popup || (item.flags & (MF_GRAYED | MF_DISABLED))) return;
    RECT r;
    GetWindowRect(level.window, &r);
    std::int32_t top = r.top;
    for (int i = 0; i < level.selected; ++i)
        top += level.menu->items[std::size_t(i)].height;
    const int position = level.selected;
    if (Open(item.popup, POINT{r.right - 3, top}, position)) Step(tracking->levels.back(), 1);
}

void Choose(int index) {
    Level& level = tracking->levels.back();
    const MenuItem& item = level.menu->items[std::size_t(index)];
    Select(level, index);
    if (item.popup) {
        OpenSelected();
        return;
    }
    if (item.flags & MF_SEPARATOR) return;
    if (!(item.flags & (MF_GRAYED | MF_DISABLED))) tracking->chosen = item.id;
    tracking->ended = true;
}

void OnKey(int key) {
    Level& level = tracking->levels.back();
    switch (key) {
    case VK_DOWN:
        Step(level, 1);
        break;
    case VK_UP:
        Step(level, -1);
        break;
    case VK_RIGHT:
        if (level.selected >= 0 && level.menu->items[std::size_t(level.selected)].popup)
            OpenSelected();
        else if (tracking->fromBar)
            tracking->barStep = 1, tracking->ended = true;
        break;
    case VK_LEFT:
        if (tracking->levels.size() > 1)
            CloseLevel();
        else if (tracking->fromBar)
            tracking->barStep = -1, tracking->ended = true;
        break;
    case VK_ESCAPE:
        if (tracking->levels.size() > 1)
            CloseLevel();
        else
            tracking->ended = true;
        break;
    case VK_RETURN:
        if (level.selected >= 0) Choose(level.selected);
        break;
    default:
        break;
    }
}

void OnChar(char ch) {
    Level& level = tracking->levels.back();
    const char wanted = char(std::tolower(static_cast<unsigned char>(ch)));
    for (std::size_t i = 0; i < level.menu->items.size(); ++i) {
        const MenuItem& item = level.menu->items[i];
        if (!(item.flags & (MF_OWNERDRAW | MF_SEPARATOR)) && MnemonicOf(item.text) == wanted) {
            Choose(int(i));
            return;
        }
    }
    const LRESULT answer = SendMessage(tracking->owner, WM_MENUCHAR, WPARAM(MAKELPARAM(ch, int(MF_POPUP))),
                                       reinterpret_cast<LPARAM>(level.menu));
    const int index = int(LOWORD(std::uintptr_t(answer)));
    switch (int(HIWORD(std::uintptr_t(answer)))) {
    case MNC_EXECUTE:
        if (index < int(level.menu->items.size())) Choose(index);
        break;
    case MNC_SELECT:
        if (index < int(level.menu->items.size())) Select(level, index);
        break;
    case MNC_CLOSE:
        tracking->ended = true;
        break;
    default:
        break;
    }
}

bool IsPress(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
           message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK;
}

void OnMouse(const MSG& msg) {
    Level* level = LevelOf(msg.hwnd);
    if (!level) return;
    while (&tracking->levels.back() != level &&
           (msg.message == WM_LBUTTONUP || msg.message == WM_LBUTTONDOWN))
        CloseLevel();
    const int index = ItemAt(*level, GET_Y_LPARAM(msg.lParam));
    if (index < 0 || !Selectable(level->menu->items[std::size_t(index)])) return;
    if (msg.message == WM_MOUSEMOVE && level == &tracking->levels.back()) Select(*level, index);
    if (msg.message == WM_LBUTTONUP) Choose(index);
}

} // namespace

HMENU CreatePopupMenu() {
    HMENU menu = new MenuRecord;
    Menus().insert(menu);
    return menu;
}

BOOL DestroyMenu(HMENU menu) {
    if (!IsMenu(menu)) return FALSE;
    Menus().erase(menu);
    for (const MenuItem& item : menu->items)
        if (item.popup) DestroyMenu(item.popup);
    delete menu;
    return TRUE;
}

BOOL IsMenu(HMENU menu) {
    return menu && Menus().count(menu) != 0;
}

namespace {

bool MakeItem(HMENU menu, UINT flags, std::uintptr_t idOrPopup, const char* text, MenuItem& item) {
    item = MenuItem{};
    item.flags = flags & ~MF_BYPOSITION;
    if (flags & MF_POPUP) {
        item.popup = reinterpret_cast<HMENU>(idOrPopup);
        if (!IsMenu(item.popup) || item.popup == menu) return false;
    } else {
        item.id = UINT(idOrPopup);
    }
    if (flags & MF_OWNERDRAW)
        item.data = reinterpret_cast<std::uintptr_t>(text);
    else if (text && !(flags & MF_SEPARATOR))
        item.text = text;
    return true;
}

// One level of a menu template and, through its popups, the levels below; false when malformed.
bool ReadLevel(TemplateReader& r, HMENU menu, int depth) {
    if (depth > 16) return false;
    while (true) {
        const UINT flags = r.Word();
        const UINT id = (flags & MF_POPUP) ? 0 : r.Word();
        const std::string text = r.Text();
        if (!r.Ok()) return false;
        MenuItem item;
        item.flags =
            flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_MENUBARBREAK | MF_MENUBREAK | MF_HELP);
        if (flags & MF_POPUP) {
            item.popup = CreatePopupMenu();
            item.flags |= MF_POPUP;
            menu->items.push_back(item);
            if (!ReadLevel(r, item.popup, depth + 1)) return false;
        } else if (id == 0 && text.empty() && (flags & ~MF_END) == 0) {
            item.flags |= MF_SEPARATOR;
            menu->items.push_back(item);
        } else {
            item.id = id;
            menu->items.push_back(item);
        }
        menu->items.back().text = text;
        if (flags & MF_END) return true;
    }
}

} // namespace

BOOL AppendMenu(HMENU menu, UINT flags, std::uintptr_t idOrPopup, const char* text) {
    MenuItem item;
    if (!IsMenu(menu) || !MakeItem(menu, flags, idOrPopup, text, item)) return FALSE;
    menu->items.push_back(std::move(item));
    return TRUE;
}

BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, std::uintptr_t idOrPopup, const char* text) {
    MenuItem* item = Find(menu, position, flags);
    MenuItem replacement;
    if (!item || !MakeItem(menu, flags, idOrPopup, text, replacement)) return FALSE;
    // A popup replaced by something else goes with it, as the menu owns its popups.
    if (item->popup && item->popup != replacement.popup) DestroyMenu(item->popup);
    *item = std::move(replacement);
    return TRUE;
}

BOOL InsertMenu(HMENU menu, UINT position, UINT flags, std::uintptr_t idOrPopup, const char* text) {
    MenuItem item;
    if (!IsMenu(menu) || !MakeItem(menu, flags, idOrPopup, text, item)) return FALSE;
    if (flags & MF_BYPOSITION) {
        auto& items = menu->items;
        items.insert(items.begin() + std::ptrdiff_t(std::min<std::size_t>(position, items.size())), std::move(item));
        return TRUE;
    }
    // By command: before that item, in whichever menu holds it.
    MenuItem* before = Find(menu, position, flags);
    if (!before) return FALSE;
    for (HMENU owner : Menus()) {
        auto& items = owner->items;
        const auto it =
            std::find_if(items.begin(), items.end(), [&](const MenuItem& i) { return &i == before; });
        if (it == items.end()) continue;
        items.insert(it, std::move(item));
        return TRUE;
    }
    return FALSE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
    MenuItem* item = Find(menu, position, flags);
    if (!item) return FALSE;
    for (HMENU owner : Menus()) {
        auto& items = owner->items;
        const auto it =
            std::find_if(items.begin(), items.end(), [&](const MenuItem& i) { return &i == item; });
        if (it == items.end()) continue;
        if (it->popup) DestroyMenu(it->popup);
        items.erase(it);
        return TRUE;
    }
    return FALSE;
}

namespace {

std::unordered_map<HWND, HMENU>& SystemMenus() {
    static std::unordered_map<HWND, HMENU> menus;
    return menus;
}

bool IsSystemMenu(HMENU menu) {
    for (const auto& [window, system] : SystemMenus())
        if (system == menu) return true;
    return false;
}

} // namespace

HMENU GetSystemMenu(HWND window, BOOL revert) {
    if (!IsWindow(window)) return nullptr;
    HMENU& menu = SystemMenus()[window];
    if (menu && !revert) return menu;
    if (menu) DestroyMenu(menu);
    menu = CreatePopupMenu();
    AppendMenu(menu, MF_STRING, SC_RESTORE, "&Restore");
    AppendMenu(menu, MF_STRING, SC_MOVE, "&Move");
    AppendMenu(menu, MF_STRING, SC_SIZE, "&Size");
    AppendMenu(menu, MF_STRING, SC_MINIMIZE, "Mi&nimize");
    AppendMenu(menu, MF_STRING, SC_MAXIMIZE, "Ma&ximize");
    AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenu(menu, MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
    return menu;
}

namespace {

std::unordered_map<HWND, HMENU>& MenuBars() {
    static std::unordered_map<HWND, HMENU> menus;
    return menus;
}

} // namespace

BOOL SetMenu(HWND window, HMENU menu) {
    if (!IsWindow(window) || (menu && !IsMenu(menu))) return FALSE;
    if (menu)
        MenuBars()[window] = menu;
    else
        MenuBars().erase(window);
    // The bar takes its row from the client area, or gives it back.
    DrawMenuBar(window);
    return TRUE;
}

HMENU GetMenu(HWND window) {
    const auto it = MenuBars().find(window);
    return it == MenuBars().end() ? nullptr : it->second;
}

BOOL DrawMenuBar(HWND window) {
    if (!IsWindow(window)) return FALSE;
    SetWindowPos(window, 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return TRUE;
}

namespace {

constexpr std::int32_t BarItemPadding = 7;

// How a popup's loop starts and what it says back beyond the command.
struct TrackOptions {
    bool fromBar = false;
    // Opened from the keyboard: the first item is selected at once.
    bool selectFirst = false;
    int* barStep = nullptr;
};

BOOL Track(HMENU menu, UINT flags, POINT at, HWND owner, int position, TrackOptions options = {});

// The bar item whose popup is open, drawn highlighted meanwhile.
HWND openBar = 0;
int openBarItem = -1;

// Each item of a menu bar gets its text's width and some room either side, left to right.
std::vector<RECT> BarItemRects(HMENU menu, const RECT& bar) {
    std::vector<RECT> rects;
    HDC dc = GetDC(0);
    const HGDIOBJ old = SelectObject(dc, MenuFont());
    std::int32_t x = bar.left;
    for (const MenuItem& item : menu->items) {
        RECT text{};
        DrawText(dc, item.text.c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
        const std::int32_t width = text.Width() + 2 * BarItemPadding;
        rects.push_back({x, bar.top, x + width, bar.bottom});
        x += width;
    }
    SelectObject(dc, old);
    ReleaseDC(0, dc);
    return rects;
}

} // namespace

void PaintMenuBar(HWND window, HDC dc, const RECT& bar) {
    FillRect(dc, &bar, GetSysColorBrush(COLOR_MENU));
    const HMENU menu = GetMenu(window);
    if (!menu) return;
    const std::vector<RECT> rects = BarItemRects(menu, bar);
    const HGDIOBJ old = SelectObject(dc, MenuFont());
    SetBkMode(dc, TRANSPARENT);
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const MenuItem& item = menu->items[i];
        RECT r = rects[i];
        const bool open = openBar == window && openBarItem == int(i);
        if (open) FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(item.flags & (MF_GRAYED | MF_DISABLED) ? COLOR_GRAYTEXT
                                     : open                                 ? COLOR_HIGHLIGHTTEXT
                                                                            : COLOR_MENUTEXT));
        DrawText(dc, item.text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    SelectObject(dc, old);
}

int MenuBarItemAt(HWND window, const RECT& bar, POINT at) {
    const HMENU menu = GetMenu(window);
    if (!menu) return -1;
    const std::vector<RECT> rects = BarItemRects(menu, bar);
    for (std::size_t i = 0; i < rects.size(); ++i)
        if (rects[i].Contains(at.x, at.y)) return int(i);
    return -1;
}

namespace {

// Shows the bar with `index` highlighted (-1 for none).
void HighlightBarItem(HWND window, int index) {
    openBar = index >= 0 ? window : 0;
    openBarItem = index;
    DrawMenuBar(window);
}

// The next item along the bar from `index` in `direction` that drops a popup; `index` when none.
int NextBarPopup(HMENU menu, int index, int direction) {
    const int n = int(menu->items.size());
    for (int k = 1; k < n; ++k) {
        const MenuItem& item = menu->items[std::size_t(((index + direction * k) % n + n) % n)];
        if (item.popup && !(item.flags & (MF_GRAYED | MF_DISABLED))) return ((index + direction * k) % n + n) % n;
    }
    return index;
}

// Drops the popup of bar item `index` (or takes its command); Left and Right at the popup's
// ends move to the next popup along the bar. The chosen command goes to the window.
void TrackBarFrom(HWND window, int index, bool keyboard) {
    const HMENU menu = GetMenu(window);
    if (!menu || index < 0 || std::size_t(index) >= menu->items.size()) return;
    if (menu->items[std::size_t(index)].flags & (MF_GRAYED | MF_DISABLED)) return;
    SendMessage(window, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    UINT command = 0;
    for (int step = 0;; index = NextBarPopup(menu, index, step)) {
        RECT item;
        if (!IsMenu(menu) || !GetMenuItemRect(window, menu, UINT(index), &item)) return;
        const MenuItem chosen = menu->items[std::size_t(index)];
        if (!chosen.popup) {
            command = chosen.id;
            break;
        }
        HighlightBarItem(window, index);
        step = 0;
        command = UINT(Track(chosen.popup, TPM_RETURNCMD, POINT{item.left, item.bottom}, window, index,
                             {.fromBar = true, .selectFirst = keyboard, .barStep = &step}));
        if (!IsWindow(window)) return;
        HighlightBarItem(window, -1);
        if (step == 0) break;
        keyboard = true;
    }
    if (command && IsWindow(window)) SendMessage(window, WM_COMMAND, command, 0);
}

int BarItemByMnemonic(HMENU menu, char ch) {
    const char wanted = char(std::tolower(static_cast<unsigned char>(ch)));
    for (std::size_t i = 0; i < menu->items.size(); ++i)
        if (MnemonicOf(menu->items[i].text) == wanted) return int(i);
    return -1;
}

// Alt alone: the bar's first item is highlighted and the keys move along it until one drops its
// popup, Escape or Alt ends it, or a press elsewhere does.
void SelectOnBar(HWND window) {
    const HMENU menu = GetMenu(window);
    if (menu->items.empty()) return;
    int index = 0;
    int open = -1;
    HighlightBarItem(window, index);
    MSG msg;
    while (IsWindow(window) && GetMenu(window) == menu && GetMessage(&msg, 0, 0, 0)) {
        if (CallMsgFilter(&msg, MSGF_MENU)) continue;
        const int n = int(menu->items.size());
        if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
            const int key = int(msg.wParam);
            if (key == VK_LEFT || key == VK_RIGHT) {
                index = (index + (key == VK_RIGHT ? 1 : -1) + n) % n;
                HighlightBarItem(window, index);
            } else if (key == VK_DOWN || key == VK_RETURN) {
                open = index;
                break;
            } else if (key == VK_ESCAPE || key == VK_MENU) {
                break;
            }
        } else if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) {
            if ((open = BarItemByMnemonic(menu, char(msg.wParam))) >= 0) break;
        } else if (IsPress(msg.message)) {
            PostMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
            break;
        } else if (msg.message != WM_KEYUP && msg.message != WM_SYSKEYUP) {
            DispatchMessage(&msg);
        }
    }
    if (!IsWindow(window)) return;
    HighlightBarItem(window, -1);
    if (open >= 0) TrackBarFrom(window, open, true);
}

} // namespace

void TrackMenuBarItem(HWND window, int index) {
    TrackBarFrom(window, index, false);
}

void TrackMenuBarByKeyboard(HWND window, char mnemonic) {
    const HMENU menu = GetMenu(window);
    if (!menu || tracking) return;
    if (!mnemonic) {
        SelectOnBar(window);
        return;
    }
    if (const int index = BarItemByMnemonic(menu, mnemonic); index >= 0) TrackBarFrom(window, index, true);
}

BOOL GetMenuItemRect(HWND window, HMENU menu, UINT position, RECT* out) {
    if (!out || !IsMenu(menu) || position >= menu->items.size()) return FALSE;
    if (menu == GetMenu(window)) {
        const RECT bar = MenuBarRect(window);
        if (bar.IsEmpty()) return FALSE;
        *out = BarItemRects(menu, bar)[position];
        return TRUE;
    }
    // A popup has places only while it is open.
    if (!tracking) return FALSE;
    for (const Level& level : tracking->levels) {
        if (level.menu != menu) continue;
        RECT popup;
        GetWindowRect(level.window, &popup);
        std::int32_t top = popup.top + 2;
        for (std::size_t i = 0; i < position; ++i)
            top += menu->items[i].height;
        *out = {popup.left + 2, top, popup.right - 2, top + menu->items[position].height};
        return TRUE;
    }
    return FALSE;
}

void DestroySystemMenu(HWND window) {
    MenuBars().erase(window);
    const auto it = SystemMenus().find(window);
    if (it == SystemMenus().end()) return;
    DestroyMenu(it->second);
    SystemMenus().erase(it);
}

HMENU LoadMenuIndirect(std::span<const unsigned char> bytes) {
    TemplateReader r(bytes);
    const UINT version = r.Word();
    const UINT offset = r.Word();
    for (UINT i = 0; i < offset; ++i)
        r.Byte();
    if (!r.Ok() || version != 0) return nullptr;
    HMENU menu = CreatePopupMenu();
    if (!ReadLevel(r, menu, 0)) {
        DestroyMenu(menu);
        return nullptr;
    }
    return menu;
}

HMENU LoadMenu(std::uint32_t id) {
    const auto bytes = FindResource(RT_MENU, id);
    return bytes.empty() ? nullptr : LoadMenuIndirect(bytes);
}

int GetMenuItemCount(HMENU menu) {
    return IsMenu(menu) ? int(menu->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
    if (!IsMenu(menu) || position < 0 || std::size_t(position) >= menu->items.size()) return UINT(-1);
    const MenuItem& item = menu->items[std::size_t(position)];
    return item.popup ? UINT(-1) : item.id;
}

HMENU GetSubMenu(HMENU menu, int position) {
    if (!IsMenu(menu) || position < 0 || std::size_t(position) >= menu->items.size()) return nullptr;
    return menu->items[std::size_t(position)].popup;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
    const MenuItem* found = Find(menu, item, flags);
    return found ? (found->flags & ~MF_POPUP) | (found->popup ? UINT(MF_POPUP) : 0u) : UINT(-1);
}

UINT EnableMenuItem(HMENU menu, UINT item, UINT flags) {
    MenuItem* found = Find(menu, item, flags);
    if (!found) return UINT(-1);
    const UINT before = found->flags & (MF_GRAYED | MF_DISABLED);
    found->flags = (found->flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
    return before;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags) {
    MenuItem* found = Find(menu, item, flags);
    if (!found) return DWORD(-1);
    const DWORD before = found->flags & MF_CHECKED;
    found->flags = (found->flags & ~MF_CHECKED) | (flags & MF_CHECKED);
    return before;
}

BOOL GetMenuItemInfo(HMENU menu, UINT position, BOOL byPosition, MENUITEMINFO* info) {
    const MenuItem* item = Find(menu, position, byPosition ? UINT(MF_BYPOSITION) : 0u);
    if (!item || !info) return FALSE;
    if (info->fMask & MIIM_STATE) info->fState = item->flags & StateBits;
    if (info->fMask & MIIM_ID) info->wID = item->id;
    if (info->fMask & MIIM_SUBMENU) info->hSubMenu = item->popup;
    if (info->fMask & MIIM_CHECKMARKS) {
        info->hbmpChecked = item->checked;
        info->hbmpUnchecked = item->unchecked;
    }
    if (info->fMask & MIIM_DATA) info->dwItemData = item->data;
    if (info->fMask & MIIM_TYPE) {
        info->fType = item->flags & TypeBits;
        if (info->dwTypeData && info->cch > 0) {
            const std::size_t n = std::min<std::size_t>(item->text.size(), info->cch - 1);
            std::copy_n(item->text.data(), n, info->dwTypeData);
            info->dwTypeData[n] = '\0';
            info->cch = UINT(n);
        } else {
            info->cch = UINT(item->text.size());
        }
    }
    return TRUE;
}

BOOL SetMenuItemInfo(HMENU menu, UINT position, BOOL byPosition, const MENUITEMINFO* info) {
    MenuItem* item = Find(menu, position, byPosition ? UINT(MF_BYPOSITION) : 0u);
    if (!item || !info) return FALSE;
    if ((info->fMask & MIIM_SUBMENU) && info->hSubMenu && (!IsMenu(info->hSubMenu) || info->hSubMenu == menu))
        return FALSE;
    if (info->fMask & MIIM_STATE) item->flags = (item->flags & ~StateBits) | (info->fState & StateBits);
    if (info->fMask & MIIM_ID) item->id = info->wID;
    if (info->fMask & MIIM_SUBMENU) {
        if (item->popup && item->popup != info->hSubMenu) DestroyMenu(item->popup);
        item->popup = info->hSubMenu;
        item->flags = info->hSubMenu ? item->flags | MF_POPUP : item->flags & ~UINT(MF_POPUP);
    }
    if (info->fMask & MIIM_CHECKMARKS) {
        item->checked = info->hbmpChecked;
        item->unchecked = info->hbmpUnchecked;
    }
    if (info->fMask & MIIM_DATA) item->data = info->dwItemData;
    if (info->fMask & MIIM_TYPE) {
        item->flags = (item->flags & ~TypeBits) | (info->fType & TypeBits);
        if (info->fType & TypeBits)
            item->text.clear();
        else
            item->text = info->dwTypeData ? info->dwTypeData : "";
    }
    return TRUE;
}

BOOL SetMenuItemBitmaps(HMENU menu, UINT position, UINT flags, HBITMAP unchecked, HBITMAP checked) {
    MenuItem* item = Find(menu, position, flags);
    if (!item) return FALSE;
    item->unchecked = unchecked;
    item->checked = checked;
    return TRUE;
}

UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags) {
    if (!IsMenu(menu)) return UINT(-1);
    for (std::size_t i = 0; i < menu->items.size(); ++i) {
        const MenuItem& item = menu->items[i];
        if (!(item.flags & MFS_DEFAULT)) continue;
        if ((item.flags & (MF_GRAYED | MF_DISABLED)) && !(flags & GMDI_USEDISABLED)) return UINT(-1);
        return byPosition ? UINT(i) : item.id;
    }
    return UINT(-1);
}

BOOL SetMenuDefaultItem(HMENU menu, UINT position, UINT byPosition) {
    if (!IsMenu(menu)) return FALSE;
    MenuItem* chosen = nullptr;
    // By command the item must be one of this menu's own, not of a popup below it.
    for (std::size_t i = 0; i < menu->items.size() && position != UINT(-1); ++i)
        if (byPosition ? i == position : !menu->items[i].popup && menu->items[i].id == position)
            chosen = &menu->items[i];
    if (position != UINT(-1) && !chosen) return FALSE;
    for (MenuItem& item : menu->items)
        item.flags &= ~UINT(MFS_DEFAULT);
    if (chosen) chosen->flags |= MFS_DEFAULT;
    return TRUE;
}

namespace {

// The loop of a popup; `position` is the popup's place in the menu it drops from.
BOOL Track(HMENU menu, UINT flags, POINT at, HWND owner, int position, TrackOptions options) {
    if (!IsMenu(menu) || !IsWindow(owner) || tracking || !PopupClass()) return FALSE;
    Tracking state;
    state.owner = owner;
    state.fromBar = options.fromBar;
    tracking = &state;
    SendMessage(owner, WM_ENTERMENULOOP, TRUE, 0);
    const HWND capture = GetCapture();
    if (capture) ReleaseCapture();
    if (!Open(menu, at, position))
        state.ended = true;
    else if (options.selectFirst)
        Step(state.levels.back(), 1);
    MSG msg;
    while (!state.ended) {
        if (!PeekMessage(&msg, 0, 0, 0, PM_NOREMOVE)) {
            if (!GetMessage(&msg, 0, 0, 0)) {
                PostQuitMessage(int(msg.wParam));
                break;
            }
            // Taken while waiting: a press outside goes back to the queue for its window.
            if (IsPress(msg.message) && !LevelOf(msg.hwnd)) {
                PostMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
                break;
            }
        } else {
            if (IsPress(msg.message) && !LevelOf(msg.hwnd)) break;
            PeekMessage(&msg, 0, 0, 0, PM_REMOVE);
        }
        if (CallMsgFilter(&msg, MSGF_MENU)) continue;
        if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)
            OnKey(int(msg.wParam));
        else if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR)
            OnChar(char(msg.wParam));
        else if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP)
            continue;
        else if (msg.message == WM_CANCELMODE)
            state.ended = true;
        else if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST && LevelOf(msg.hwnd))
            OnMouse(msg);
        else
            DispatchMessage(&msg);
    }
    while (!state.levels.empty())
        CloseLevel();
    tracking = nullptr;
    if (options.barStep) *options.barStep = state.barStep;
    SendMessage(owner, WM_MENUSELECT, WPARAM(MAKELPARAM(0, 0xFFFF)), 0);
    SendMessage(owner, WM_EXITMENULOOP, TRUE, 0);
    if (flags & TPM_RETURNCMD) return BOOL(state.chosen);
    if (state.chosen && !(flags & TPM_NONOTIFY)) PostMessage(owner, WM_COMMAND, state.chosen, 0);
    return TRUE;
}

} // namespace

BOOL TrackPopupMenu(HMENU menu, UINT flags, std::int32_t x, std::int32_t y, int, HWND owner, const RECT*) {
    return Track(menu, flags, POINT{x, y}, owner, 0);
}

BOOL EndMenu() {
    if (!tracking) return FALSE;
    tracking->ended = true;
    return TRUE;
}

} // namespace vq

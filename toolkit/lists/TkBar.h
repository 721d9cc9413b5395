#pragma once

#include "platform/classlib/ImageList.h"
#include "platform/classlib/Wnd.h"
#include "platform/gui/Icon.h"
#include "platform/gui/ListViewTypes.h"

#include <memory>
#include <string>

namespace vq {

class TkShortcutListCtrl;

// The icon of a bar's header. It never destroys the icons it holds: loaded icons are shared.
class TkIcon : public Object {
    VQ_DECLARE_RUNTIME_CLASS(TkIcon)
public:
    virtual BOOL LoadIcon(UINT id, int cx, int cy);
    // Resources are numbered only: "#n" names resource n.
    virtual BOOL LoadIcon(const char* name, int cx, int cy);
    virtual void Draw(HDC dc, int x, int y, int cx, int cy, HBRUSH background) const;
    virtual void Draw(HDC dc, int x, int y, HBRUSH background) const;

    HICON GetHandle() const { return m_hIcon; }
    // Takes the icon with twice its hot spot as its size.
    void SetIcon(HICON icon);

    HICON m_hIcon = nullptr;
    int m_cx = -1;
    int m_cy = -1;
};

// One bar (group) of a shortcut bar: a header it measures and draws itself, and the client window
// that shows while the bar is open. A copy owns nothing of the original's.
class TkBar : public Object {
    VQ_DECLARE_RUNTIME_CLASS(TkBar)
public:
    static constexpr DWORD Pushed = 0x01;
    static constexpr DWORD Framed = 0x04;
    static constexpr DWORD NoActivate = 0x08;

    TkBar();
    ~TkBar() override;
    TkBar(const TkBar& other);
    TkBar& operator=(const TkBar& other);

    virtual void SetWnd(CWnd* window) { m_hWnd = window ? window->m_hWnd : 0; }
    // The bar deletes the object with itself: the client window's object a shortcut bar made.
    virtual void SetOwnedObject(Object* object);
    virtual void Draw(HDC dc, BOOL rotated);
    virtual void CreateBrushes();
    virtual void DeleteBrushes();
    virtual void CalcSize(HDC dc, BOOL vertical);
    virtual void DestroyClient() {}
    virtual void DeleteOwnedObject();
    virtual void DrawBackground(HDC dc, BOOL pushed);
    virtual void DrawIcon(HDC dc, BOOL pushed, BOOL rotated);
    virtual void DrawLabel(HDC dc, BOOL pushed, BOOL rotated);

    CWnd* GetWnd() const { return m_hWnd ? CWnd::FromHandlePermanent(m_hWnd) : nullptr; }
    HWND GetWndHandle() const { return m_hWnd; }
    const RECT& GetHeaderRect() const { return m_rcHeader; }
    void SetHeaderRect(const RECT& rect) { m_rcHeader = rect; }
    const RECT& GetClientRect() const { return m_rcClient; }
    void SetClientRect(const RECT& rect) { m_rcClient = rect; }
    int GetHeaderExtent() const { return m_nHeaderExtentCopy; }
    int GetClientExtent() const { return m_nClientExtent; }
    void SetClientExtent(int extent) { m_nClientExtent = extent; }
    std::string GetLabel() const { return m_label; }
    void SetLabel(const char* label) { m_label = label ? label : ""; }
    COLORREF GetTextColor() const { return m_crText; }
    void SetTextColor(COLORREF colour) { m_crText = colour; }
    COLORREF GetFrameColor() const { return m_crFrame; }
    void SetFrameColor(COLORREF colour);
    COLORREF GetBkColor() const { return m_crBack; }
    void SetBkColor(COLORREF colour);
    HFONT GetFont() const { return m_hFont; }
    void SetFont(HFONT font) { m_hFont = font; }
    HMENU GetMenu() const { return m_hMenu; }
    void SetMenu(HMENU menu) { m_hMenu = menu; }
    // The whole menu with position -1, else its submenu there.
    void SetMenu(HMENU menu, int position);
    DWORD GetFlags() const { return m_dwFlags; }
    void SetFlags(DWORD flags) { m_dwFlags = flags; }
    BOOL IsEnabled() const { return m_bEnabled; }
    void SetEnabled(BOOL enabled) { m_bEnabled = enabled; }
    BOOL GetAutoDelete() const { return m_bAutoDelete; }
    void SetAutoDelete(BOOL autoDelete) { m_bAutoDelete = autoDelete; }
    DWORD GetUserValue() const { return m_dwUser; }
    void SetUserValue(DWORD value) { m_dwUser = value; }
    DWORD GetUserFlag() const { return m_dwUserFlag; }
    void SetUserFlag(DWORD flag) { m_dwUserFlag = flag; }
    HICON GetIcon() const { return m_icon.GetHandle(); }
    void SetIcon(HICON icon) { m_icon.SetIcon(icon); }
    // A large icon asked for a header lower than it comes as 16 x 16.
    BOOL LoadIcon(UINT id, int cx, int cy);
    BOOL LoadIcon(const char* name, int cx, int cy);
    const TkIcon& Icon() const { return m_icon; }
    BOOL HeaderHitTest(POINT point) const;
    Object* GetOwnedObject() const { return m_pOwnedObject.get(); }
    HBRUSH GetBkBrush() const { return m_hBkBrush; }

protected:
    void CopyFrom(const TkBar& other);

    BOOL m_bAutoDelete = TRUE;
    RECT m_rcHeader{};
    RECT m_rcClient{};
    int m_nHeaderExtent = 0;
    int m_nClientExtent = 0;
    int m_nHeaderExtentCopy = 0;
    HFONT m_hFont = nullptr;
    std::string m_label;
    DWORD m_dwUser = 0;
    HWND m_hWnd = 0;
    HMENU m_hMenu = nullptr;
    COLORREF m_crText;
    COLORREF m_crFrame = 255;
    COLORREF m_crBack;
    HBRUSH m_hBkBrush = nullptr;
    HBRUSH m_hFrameBrush = nullptr;
    TkIcon m_icon;
    DWORD m_dwFlags = 0;
    BOOL m_bEnabled = TRUE;
    DWORD m_dwUserFlag = 1;
    std::unique_ptr<Object> m_pOwnedObject;
};

// A bar whose client window is an icon list, which it destroys with itself and whose usual
// operations it passes on.
class TkListBar : public TkBar {
    VQ_DECLARE_RUNTIME_CLASS(TkListBar)
public:
    void DestroyClient() override;

    TkShortcutListCtrl* GetListCtrl() const;
    void SetNotifyWnd(CWnd* window);
    CImageList* GetImageList(int type) const;
    CImageList* SetImageList(CImageList* list, int type);
    int GetItemCount() const;
    BOOL GetItem(LV_ITEM* item) const;
    BOOL SetItem(LV_ITEM* item);
    std::string GetItemText(int item, int subItem = 0) const;
    int GetItemText(int item, int subItem, char* text, int length) const;
    BOOL SetItemText(int item, int subItem, const char* text);
    BOOL SetItemText(int item, const char* text) { return SetItemText(item, 0, text); }
    LPARAM GetItemData(int item) const;
    BOOL SetItemData(int item, LPARAM data);
    int InsertItem(LV_ITEM* item);
    int InsertItem(int item, const char* text, int image);
    int AddItem(const char* text, int image) { return InsertItem(GetItemCount(), text, image); }
    BOOL DeleteItem(int item);
    BOOL DeleteAllItems();
    int HitTest(POINT point, UINT* flags) const;
};

} // namespace vq

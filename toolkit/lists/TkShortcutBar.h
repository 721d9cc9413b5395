#pragma once

#include "platform/classlib/FrameWnd.h"
#include "toolkit/lists/TkBar.h"

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace vq {

// Style bits of a shortcut bar, taken off its window style.
inline constexpr DWORD TKSB_VERTICAL = 0x01;
inline constexpr DWORD TKSB_HORIZONTAL = 0x02;
inline constexpr DWORD TKSB_PRESSRELEASE = 0x04;
inline constexpr DWORD TKSB_CONTEXTMENU = 0x08;
inline constexpr DWORD TKSB_ANIMATE = 0x10;
inline constexpr DWORD TKSB_FRAMEACTIVE = 0x20;

// A stack of bars, each a header and a client window, of which one is open at a time: its client
// fills what the headers leave. Clicking a header opens its bar, animated if asked. Bars hold icon
// lists the shortcut bar makes, windows the caller gives, or views made from run-time classes; the
// classes of bars, list bars and lists can be replaced.
class TkShortcutBar : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(TkShortcutBar)
    VQ_DECLARE_MESSAGE_MAP()
public:
    TkShortcutBar();
    ~TkShortcutBar() override;

    virtual BOOL Create(CWnd* parent, DWORD style, UINT id);
    virtual TkListBar* AddBar(const char* label, BOOL recalc);
    virtual TkBar* AddBar(const RuntimeClass* viewClass, const char* label, CCreateContext* context,
                          BOOL recalc, UINT id);
    virtual TkBar* AddBar(CWnd* window, const char* label, BOOL recalc);
    virtual TkListBar* InsertBar(int index, const char* label, BOOL recalc);
    virtual TkBar* InsertBar(int index, const RuntimeClass* viewClass, const char* label,
                             CCreateContext* context, BOOL recalc, UINT id);
    virtual TkBar* InsertBar(int index, CWnd* window, const char* label, BOOL recalc);
    virtual BOOL RemoveBar(int index);
    virtual BOOL SetBarLabel(int index, const char* label);
    // -1 closes the open bar; an index naming no bar changes nothing.
    virtual BOOL SetActiveBar(int index);
    virtual BOOL RecalcLayout();
    virtual BOOL DisableBar(int index);
    virtual BOOL EnableBar(int index);
    virtual void OnBarStyleChanged(DWORD removed, DWORD added);
    virtual BOOL IsBarEnabled(int index) const;
    virtual BOOL OnRemoveBar(int /*index*/) { return TRUE; }
    virtual BOOL OnDisableBar(int /*index*/) { return TRUE; }
    virtual BOOL OnEnableBar(int /*index*/) { return TRUE; }
    virtual BOOL OnCreateClient(CWnd* /*window*/) { return TRUE; }
    virtual BOOL OnAddBar(TkBar* /*bar*/) { return TRUE; }
    virtual void CreateGdiObjects();
    virtual void DeleteGdiObjects();
    virtual void DistributeSpace(int available, int other);
    virtual void CalcBarRects(BOOL vertical, const RECT& client);
    virtual void PositionClients();
    virtual void InvalidateBar(TkBar* bar);
    virtual void InvalidateBar(int index);
    virtual std::unique_ptr<TkBar> CreateBarObject();
    virtual std::unique_ptr<TkBar> CreateListBarObject();
    virtual void Paint(HDC dc);
    virtual void ActivateBar(int index);
    virtual void AnimateBarSwitch(int from, int to);
    virtual BOOL FindPrevEnabled(int& index) const;
    virtual BOOL FindNextEnabled(int& index) const;

    // The generic creation entry makes the bar from the parent, style and id alone.
    BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    int GetBarCount() const { return int(m_bars.size()); }
    TkBar* GetBarAt(int index) const {
        return IsValidIndex(index) ? m_bars[std::size_t(index)].get() : nullptr;
    }
    // Throws ResourceException for an index that names no bar.
    TkBar* GetBarChecked(int index) const;
    BOOL IsValidIndex(int index) const { return index >= 0 && index < GetBarCount(); }
    int GetActiveIndex() const { return m_nActiveIndex; }
    BOOL HasActiveBar() const { return m_nActiveIndex != -1; }
    // Throws ResourceException when no bar is open.
    TkBar* GetActiveBar() const { return GetBarChecked(m_nActiveIndex); }
    CWnd* GetBarWnd(int index) const;
    int HitTest(POINT point) const;
    void SetBarClass(const RuntimeClass* c) { m_pBarClass = c; }
    void SetListBarClass(const RuntimeClass* c) { m_pListBarClass = c; }
    void SetListCtrlClass(const RuntimeClass* c) { m_pListCtrlClass = c; }
    const RuntimeClass* GetBarClass() const { return m_pBarClass; }
    const RuntimeClass* GetListBarClass() const { return m_pListBarClass; }
    const RuntimeClass* GetListCtrlClass() const { return m_pListCtrlClass; }
    // The window of `windowClass`, or null when it cannot be made or OnCreateClient refuses it.
    CWnd* CreateClientWnd(const RuntimeClass* windowClass, CCreateContext* context, UINT id);
    void SetBarMenu(HMENU menu, int index);
    void SetAlign(DWORD orientation);
    void ModifyBarStyle(DWORD remove, DWORD add, BOOL redraw);
    void SetFontHeight(const int& height);
    void SetFontName(const std::string& face);
    void SetAnimationDelay(const int& delay) { m_nAnimationDelay = delay; }
    void SetAnimationSteps(const int& steps) { m_nAnimationSteps = steps; }
    int GetAnimationDelay() const { return m_nAnimationDelay; }
    int GetAnimationSteps() const { return m_nAnimationSteps; }
    void SetBarFont(HFONT font, int index);
    void SetBkBrush(COLORREF colour);
    void SetBarFrameColor(COLORREF colour, int index);
    void SetBarTextColor(COLORREF colour, int index);
    void SetBarBkColor(COLORREF colour, int index);
    COLORREF GetBarFrameColor(int index) const;
    COLORREF GetBarTextColor(int index) const;
    COLORREF GetBarBkColor(int index) const;
    void SetListBkColor(COLORREF colour, int index);
    COLORREF GetListBkColor(int index) const;
    BOOL TestBarStyle(DWORD bits) const { return (m_dwBarStyle & bits) == bits; }
    BOOL IsVertical() const { return (m_dwOrientation & TKSB_VERTICAL) != 0; }
    BOOL IsHorizontal() const { return (m_dwOrientation & TKSB_HORIZONTAL) != 0; }
    HFONT GetFont(int which) const { return which == 0 || which == 1 ? m_fonts[which] : nullptr; }

    int m_nOpenExtent = 25;

protected:
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM dc, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM point);
    LRESULT OnLButtonUp(WPARAM, LPARAM point);
    LRESULT OnContextMenu(WPARAM, LPARAM point);
    LRESULT OnSize(WPARAM type, LPARAM size);
    LRESULT OnDestroy(WPARAM, LPARAM);

    TkBar* Place(int index, std::unique_ptr<TkBar> bar, CWnd* window, const char* label, BOOL recalc);
    // Makes a list bar with its list, or null.
    std::unique_ptr<TkBar> MakeListBar(int index);
    // Destroys what the bar holds of the shortcut bar's making, then the bar unless the caller keeps it.
    void DiscardBar(std::unique_ptr<TkBar> bar);
    void Repaint();
    // Sleeps on the layer's clock until the tick count reaches the deadline.
    void WaitUntil(DWORD deadline);
    void Reveal(TkBar& bar);

    int m_nPressedIndex = -1;
    int m_nActiveIndex = -1;
    int m_nFontHeight = 15;
    int m_nAnimationDelay = 7;
    int m_nAnimationSteps = 8;
    BOOL m_bTracking = FALSE;
    DWORD m_dwOrientation = 0;
    DWORD m_dwBarStyle = 0;
    const RuntimeClass* m_pBarClass;
    const RuntimeClass* m_pListBarClass;
    const RuntimeClass* m_pListCtrlClass;
    int m_nLastWidth = 0;
    int m_nLastHeight = 0;
    std::string m_fontFace;
    HBRUSH m_hBkBrush = nullptr;
    std::vector<std::unique_ptr<TkBar>> m_bars;
    HFONT m_fonts[2] = {};
    COLORREF m_crText;
    COLORREF m_crBack;
    COLORREF m_crListBack = 0;
    // Bars whose client window this bar made, and so destroys with them.
    std::unordered_set<const TkBar*> m_madeClients;
};

} // namespace vq

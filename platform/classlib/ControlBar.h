#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/DeferWindowPos.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vq {

class CDockBar;
class CDockContext;
struct CControlBarInfo;
class CFrameWnd;

// Control-bar styles (the bar style word, not the window's).
enum : DWORD {
    CBRS_ALIGN_LEFT = 0x1000,
    CBRS_ALIGN_TOP = 0x2000,
    CBRS_ALIGN_RIGHT = 0x4000,
    CBRS_ALIGN_BOTTOM = 0x8000,
    CBRS_ALIGN_ANY = 0xF000,
    CBRS_BORDER_LEFT = 0x0100,
    CBRS_BORDER_TOP = 0x0200,
    CBRS_BORDER_RIGHT = 0x0400,
    CBRS_BORDER_BOTTOM = 0x0800,
    CBRS_BORDER_ANY = 0x0F00,
    CBRS_TOOLTIPS = 0x0010,
    CBRS_FLYBY = 0x0020,
    CBRS_FLOAT_MULTI = 0x0040,
    CBRS_BORDER_3D = 0x0080,
    CBRS_HIDE_INPLACE = 0x0008,
    CBRS_SIZE_DYNAMIC = 0x0004,
    CBRS_SIZE_FIXED = 0x0002,
    CBRS_FLOATING = 0x0001,
    CBRS_ORIENT_HORZ = CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM,
    CBRS_ORIENT_VERT = CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT,
    CBRS_ALL = 0x0040FFFF,
    CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM,
    CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP,
    CBRS_LEFT = CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT,
    CBRS_RIGHT = CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT,
};

// Layout modes of CalcDynamicLayout.
enum : DWORD {
    LM_STRETCH = 0x01,
    LM_HORZ = 0x02,
    LM_MRUWIDTH = 0x04,
    LM_HORZDOCK = 0x08,
    LM_VERTDOCK = 0x10,
    LM_LENGTHY = 0x20,
    LM_COMMIT = 0x40,
};

// Messages of the frame layout protocol.
inline constexpr UINT WM_SIZEPARENT = 0x0361;
inline constexpr UINT WM_SETMESSAGESTRING = 0x0362;
inline constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;
inline constexpr UINT WM_FLOATSTATUS = 0x036D;
// What WM_FLOATSTATUS tells a window that floats over a frame, or, with FS_SYNCACTIVE, asks it:
// whether its frame stays drawn active while it is the active window.
enum : DWORD {
    FS_SHOW = 0x01,
    FS_HIDE = 0x02,
    FS_ACTIVATE = 0x04,
    FS_DEACTIVATE = 0x08,
    FS_ENABLE = 0x10,
    FS_DISABLE = 0x20,
    FS_SYNCACTIVE = 0x40,
};

// Window ids of a frame's parts.
enum : UINT {
    AFX_IDW_DOCKBAR_TOP = 0xE81B,
    AFX_IDW_DOCKBAR_LEFT = 0xE81C,
    AFX_IDW_DOCKBAR_RIGHT = 0xE81D,
    AFX_IDW_DOCKBAR_BOTTOM = 0xE81E,
    AFX_IDW_DOCKBAR_FLOAT = 0xE81F,
    AFX_IDW_STATUS_BAR = 0xE801,
};

// The idle message of the status line and the close item of a floating frame's system menu.
inline constexpr UINT AFX_IDS_IDLEMESSAGE = 57345;
inline constexpr UINT AFX_IDS_CLOSE = 61457;
// The split cursors.
inline constexpr UINT AFX_IDC_HSPLITBAR = 30980;
inline constexpr UINT AFX_IDC_VSPLITBAR = 30981;

// What WM_SIZEPARENT carries: the batch of the pass's moves (none for a query), the room still
// free in the parent's client coordinates, the total size the bars take and whether they stretch.
struct SizeParentParams {
    HDWP hDWP = nullptr;
    RECT rect;
    SIZE sizeTotal;
    BOOL bStretch = TRUE;
};

// Moves a child to a rectangle of its parent's client area, in the pass's batch, only when it is
// not there already.
void RepositionWindow(SizeParentParams* layout, HWND window, const RECT& rect);

// A bar along a side of a frame, docked in one of its dock bars or floating in a small frame of
// its own. The frame lays its bars out by asking each for its size (WM_SIZEPARENT).
class CControlBar : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(CControlBar)
    VQ_DECLARE_MESSAGE_MAP()
public:
    CControlBar();
    ~CControlBar() override;

    // The bar style: alignment, borders, floating and sizing bits.
    DWORD m_dwStyle = 0;
    DWORD m_dwDockStyle = 0;
    CFrameWnd* m_pDockSite = nullptr;
    CDockBar* m_pDockBar = nullptr;
    // Owned; the bar's destructor clears the pointer before the context goes, so that nothing
    // the context's destruction calls finds it half gone.
    std::unique_ptr<CDockContext> m_pDockContext;
    std::int32_t m_cxLeftBorder = 6;
    std::int32_t m_cxRightBorder = 0;
    std::int32_t m_cyTopBorder = 2;
    std::int32_t m_cyBottomBorder = 2;
    std::int32_t m_nMRUWidth = 32767;
    // Made on the heap for a frame that keeps no pointer to it: the bar goes with its window.
    BOOL m_bAutoDelete = FALSE;

    virtual SIZE CalcFixedLayout(BOOL stretch, BOOL horz);
    virtual SIZE CalcDynamicLayout(int length, DWORD mode);
    virtual void DoPaint(HDC dc);
    // Asks the bar's commands' states of the target; the base has none.
    virtual void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler);
    // Docked bars that have a window and are visible; a plain bar holds none.
    virtual int GetDockedVisibleCount() const { return 0; }
    void PostNcDestroy() override;

    // Tells OnBarStyleChange of a real change.
    void SetBarStyle(DWORD style);
    virtual void OnBarStyleChange(DWORD, DWORD) {}
    DWORD GetBarStyle() const { return m_dwStyle; }
    BOOL IsFloating() const;
    BOOL IsDockBar() const;
    // Visible now, or about to be shown by a pending delayed show.
    BOOL IsVisible() const;
    // The frame that docks the bar: its dock site, else the frame it lives in.
    CFrameWnd* GetDockingFrame() const;
    // Shows or hides the bar at the frame's next layout.
    virtual void DelayShow(BOOL show);
    // The pending show or hide applied to the style the next layout works with.
    DWORD RecalcDelayShow(SizeParentParams* layout);
    // The client rectangle less the bar's borders.
    void CalcInsideRect(RECT& rect, BOOL horz) const;
    // The bar's record in a saved layout, and a record applied back to it.
    virtual void GetBarInfo(CControlBarInfo* info);
    virtual void SetBarInfo(CControlBarInfo* info, CFrameWnd* frame);

protected:
    LRESULT OnSizeParentMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaintMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    LRESULT OnCreateMessage(WPARAM wParam, LPARAM lParam);

    enum : UINT { delayHide = 1, delayShow = 2 };
    UINT m_nStateFlags = 0;
};

// The class every control bar's window has.
const char* ControlBarClassName();

// One place of a dock bar: a bar, the id a bar left behind so that it comes back there, or the
// end of a row.
struct DockEntry {
    CControlBar* bar = nullptr;
    std::uint16_t placeholder = 0;

    static DockEntry RowEnd() { return {}; }
    static DockEntry Placeholder(std::uint16_t id) { return {nullptr, id}; }
    bool IsRowEnd() const { return !bar && placeholder == 0; }
    bool IsPlaceholder() const { return !bar && placeholder != 0; }
};

// A bar that holds other bars in rows along one side of a frame, or inside a floating frame.
class CDockBar : public CControlBar {
    VQ_DECLARE_RUNTIME_CLASS(CDockBar)
public:
    explicit CDockBar(BOOL floating = FALSE);
    ~CDockBar() override;

    // A child of the frame, of the control-bar class, with an empty rectangle.
    virtual BOOL Create(CFrameWnd* parent, DWORD style, UINT id);

    // Entry 0 is always a row end; every row ends with one.
    std::vector<DockEntry> m_arrBars;
    BOOL m_bFloating = FALSE;

    int GetDockedVisibleCount() const override;
    // A dock bar's record holds its entries' ids; applying one rebuilds the entries, moving the
    // bars it names here and leaving placeholders for the ones the frame lacks.
    void GetBarInfo(CControlBarInfo* info) override;
    void SetBarInfo(CControlBarInfo* info, CFrameWnd* frame) override;
    // What a bar that enters takes of this dock bar's style: its side, and whether it floats.
    virtual void AdoptBarStyle(CControlBar* bar);
    virtual void DockControlBar(CControlBar* bar, const RECT* rect);
    virtual BOOL RemoveControlBar(CControlBar* bar, int skipIndex = -1, int placeholder = 0);
    virtual void ReDockControlBar(CControlBar* bar, const RECT* rect);

    int FindBar(const CControlBar* bar, int skipIndex = -1) const;
    int GetDockedCount() const;
    // The entries as ids: a bar's id, a placeholder's id plus 0x10000, 0 for a row end.
    std::vector<std::uint32_t> GetBarIds() const;
    // Rebuilds the entries from such ids, with the bars the frame has; ids of bars it does not
    // have become placeholders.
    void SetBarIds(const std::vector<std::uint32_t>& ids, CFrameWnd* frame);
};

// The drag and float state of one bar: what the dock context of the toolkit works with.
class CDockContext {
public:
    explicit CDockContext(CControlBar* bar);
    virtual ~CDockContext() = default;
    CDockContext(const CDockContext&) = delete;
    CDockContext& operator=(const CDockContext&) = delete;

    virtual void StartDrag(POINT screen) = 0;
    virtual void StartResize(int hitTest, POINT screen) = 0;
    virtual void ToggleDocking() = 0;

    POINT m_ptLast;
    RECT m_rectLast;
    SIZE m_sizeLast;
    BOOL m_bDitherLast = FALSE;
    RECT m_rectDragHorz;
    RECT m_rectDragVert;
    RECT m_rectFrameDragHorz;
    RECT m_rectFrameDragVert;
    CControlBar* m_pBar;
    CFrameWnd* m_pDockSite;
    DWORD m_dwDockStyle = 0;
    DWORD m_dwOverDockStyle = 0;
    DWORD m_dwStyle = 0;
    BOOL m_bFlip = FALSE;
    BOOL m_bForceFrame = FALSE;
    HDC m_pDC = nullptr;
    BOOL m_bDragging = FALSE;
    int m_nHitTest = 0;
    UINT m_uMRUDockID = 0;
    RECT m_rectMRUDockPos;
    DWORD m_dwMRUFloatStyle = 0;
    POINT m_ptMRUFloatPos{-1, -1};
};

} // namespace vq

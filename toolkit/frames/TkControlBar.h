#pragma once

#include "platform/classlib/ControlBar.h"
#include "platform/classlib/DockState.h"
#include "platform/classlib/FrameWnd.h"
#include "platform/gui/WindowPlacement.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vq {

class TkControlBarManager;
class TkDockBar;
class TkDockContext;

// Extended styles of a toolkit control bar.
enum : DWORD {
    CBX_CONTEXTMENU = 0x0001,
    CBX_SCALECHILDREN = 0x0002,
    CBX_TOOLBARLIKE = 0x0004,
    CBX_DARKLINES = 0x0008,
    CBX_INSETS = 0x0010,
    CBX_MDIFLOAT = 0x0020,
    CBX_FILLCHILD = 0x0040,
    CBX_ROWOWNER = 0x0080,
    CBX_FLATBORDERS = 0x0100,
    CBX_GRIPPER = 0x0200,
    CBX_HIDEBUTTON = 0x0400,
    CBX_EXPANDBUTTON = 0x0800,
};

// Commands of a bar's context menu, and the message that lets the frame add to it.
enum : UINT { ID_BAR_ALLOWDOCKING = 43040, ID_BAR_HIDE = 43041, ID_BAR_FLOATINMAIN = 43042 };
inline constexpr UINT WM_EXTENDBARMENU = 0x38FF;
// Tool tips of the gripper's buttons.
enum : UINT { IDS_TK_HIDE_TIP = 20655, IDS_TK_EXPAND_TIP = 20657, IDS_TK_CONTRACT_TIP = 20658 };
// Tool hit codes of the gripper's buttons.
inline constexpr std::intptr_t kHideButtonHit = 1024;
inline constexpr std::intptr_t kExpandButtonHit = 2048;

// The metrics of the gripper band and its buttons' tips.
class TkGripperInfo : public Object {
    VQ_DECLARE_RUNTIME_CLASS(TkGripperInfo)
public:
    TkGripperInfo();

    // The band of a horizontally docked bar, a vertical strip at its left.
    std::int32_t m_nHorzOuter = 4, m_nHorzLine1 = 3, m_nHorzGap = 1, m_nHorzLine2 = 3, m_nHorzInner = 6;
    // The band of a vertically docked bar, a horizontal strip at its top.
    std::int32_t m_nVertOuter = 4, m_nVertLine1 = 3, m_nVertGap = 1, m_nVertLine2 = 3, m_nVertInner = 6;
    std::int32_t m_nSideMargin = 3;
    std::string m_strHideTip;
    std::string m_strExpandTip;
    std::string m_strContractTip;

    virtual std::int32_t GetHorzWidth() const;
    virtual std::int32_t GetVertHeight() const;
};

class ArchiveReader;
class ArchiveWriter;
class TkDockState;
class TkPersistentTreeNode;
class TkPTNFactory;
struct TkControlBarInfo;

// What a type of bar keeps in its record beyond the common state; the base keeps nothing. The
// control-bar manager makes one for the bar types it knows.
class TkControlBarInfoEx : public Object {
    VQ_DECLARE_RUNTIME_CLASS(TkControlBarInfoEx)
public:
    virtual void Store(ArchiveWriter&, TkDockState*) {}
    virtual void Load(ArchiveReader&, TkDockState*) {}
    virtual BOOL LoadStateFromTree(TkPersistentTreeNode* node) { return node != nullptr; }
    virtual BOOL LoadStateFromProfile(const char*, TkDockState*) { return FALSE; }
    virtual BOOL SaveStateToTree(TkPTNFactory*, TkPersistentTreeNode* node) { return node != nullptr; }
    virtual BOOL SaveStateToProfile(const char*) { return FALSE; }
};

// The record of one bar or dock bar: the class library's common part, then the toolkit's own.
struct TkControlBarInfo : CControlBarInfo {
    TkControlBarInfo();
    ~TkControlBarInfo() override;

    SIZE m_szFloat;
    SIZE m_szHorz;
    SIZE m_szVert;
    DWORD m_dwMRUDockingState = 0;
    DWORD m_dwDockStyle = 0;
    float m_fPctWidth = 1.0f;
    DWORD m_dwStyle = 0;
    DWORD m_dwExStyle = 0;
    UINT m_nTypeID = 0;
    BOOL m_bPrevFloating = FALSE;
    std::string m_strClassName;
    std::string m_strTitle;
    std::uint32_t m_nResourceID = 0;
    // A dock bar inside a frame that floats in the main window, with that frame's placement; a
    // placement of another length than its own is never applied.
    BOOL m_bInMDIChild = FALSE;
    WINDOWPLACEMENT m_wpMDIChild;
    std::unique_ptr<TkControlBarInfoEx> m_pBarInfoEx;
    TkControlBarManager* m_pManager = nullptr;

    virtual BOOL LoadStateFromTree(TkPersistentTreeNode* node, TkDockState* state);
    virtual BOOL LoadStateFromProfile(const char* profile, int index, TkDockState* state);
    virtual BOOL SaveStateToTree(TkPTNFactory* factory, TkPersistentTreeNode* parent, int index);
    virtual BOOL SaveStateToProfile(const char* profile, int index);
    void Store(ArchiveWriter& archive, TkDockState* state, std::uint32_t version) const;
    void Load(ArchiveReader& archive, TkDockState* state, std::uint32_t version);
};

// The dockable, resizable bar of the toolkit: one size per docking situation, a share of its
// dock bar's row, a gripper with hide and expand buttons, insets and the layout of its children.
class TkControlBar : public CControlBar {
    VQ_DECLARE_RUNTIME_CLASS(TkControlBar)
    VQ_DECLARE_MESSAGE_MAP()
public:
    TkControlBar();
    ~TkControlBar() override;

    SIZE m_szMRUHorzDock;
    SIZE m_szMRUVertDock;
    SIZE m_szMRUFloat;
    DWORD m_dwMRUDockingState = 0;
    float m_fPctWidth = 1.0f;
    float m_fPrevPctWidth = 1.0f;
    DWORD m_dwExStyle = 0;
    RECT m_rcInsets{10, 10, 10, 10};
    TkControlBarManager* m_pManager = nullptr;
    TkGripperInfo m_gripper;
    RECT m_rcHideBtn;
    BOOL m_bHidePressed = FALSE;
    RECT m_rcExpandBtn;
    BOOL m_bExpandPressed = FALSE;
    BOOL m_bExpandEnabled = TRUE;
    BOOL m_bCanExpand = TRUE;
    BOOL m_bGripperHorz = TRUE;

    // The size every new bar starts with, in all three situations.
    static constexpr SIZE kDefaultSize{300, 180};
    // While set, children and docked bars move without redrawing.
    static BOOL GetNoRedrawMoves();
    static void SetNoRedrawMoves(BOOL noRedraw);

    std::intptr_t OnToolHitTest(POINT point, ToolHit* hit) const override;
    SIZE CalcFixedLayout(BOOL stretch, BOOL horz) override;
    SIZE CalcDynamicLayout(int length, DWORD mode) override;
    void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;
    void DoPaint(HDC dc) override;

    using CControlBar::CreateEx;
    virtual BOOL Create(CWnd* parent, const char* title, DWORD style, DWORD exStyle, UINT id);
    virtual BOOL CreateEx(const char* className, const char* title, UINT id, DWORD style, DWORD exStyle,
                          const RECT& rect, CWnd* parent);
    virtual void GetInsideRect(RECT& rect) const;
    virtual std::unique_ptr<TkDockContext> CreateDockContext();
    virtual void SetExBarStyle(DWORD exStyle, BOOL relayout);
    virtual void ModifyBarStyleEx(DWORD remove, DWORD add, BOOL relayout);
    virtual void DrawBorders(HDC dc, RECT& rect);
    virtual void GetBarInfoEx(TkControlBarInfo* info);
    virtual void CalcInsideRect(RECT& rect, BOOL horz, BOOL gripperOnTop);
    virtual void PreDock();
    virtual void OnPreDock() {}
    virtual void OnDocked() {}
    virtual void PreFloat();
    virtual void OnPreFloat() {}
    virtual void OnFloated() {}
    virtual void PreFloatAsMDIChild();
    virtual void OnPreFloatAsMDIChild() {}
    virtual void OnFloatedAsMDIChild() {}
    virtual void OnGetBarInfoEx(TkControlBarInfo*) {}
    virtual void OnSetBarInfoEx(TkControlBarInfo*, CFrameWnd*) {}
    virtual void OnExtendContextMenu(HMENU) {}
    virtual BOOL QueryHide() { return TRUE; }
    virtual BOOL QueryExpand() { return TRUE; }
    virtual void AdjustForGripper(RECT& rect, BOOL horz);
    virtual void DrawGripper(HDC dc, const RECT& rect);
    virtual void LayoutHideButton(HDC dc, RECT& band, BOOL horz);
    virtual void DrawHideButtonPressed(HDC dc);
    virtual void DrawHideButton(HDC dc);
    virtual void LayoutExpandButton(HDC dc, RECT& band, BOOL horz);
    virtual void DrawExpandButtonPressed(HDC dc);
    virtual void DrawExpandButton(HDC dc);
    virtual void UpdateExpandState(BOOL horz);
    // TRUE for the tool bars of the toolkit, which dock bars lay out by their own rules.
    virtual BOOL IsCustomToolBar() const { return FALSE; }

    void EnableDocking(DWORD dockStyle);
    void SetBarInfoEx(TkControlBarInfo* info, CFrameWnd* frame);
    // Row, column, dock bar id, share and row thickness of a docked, visible bar.
    BOOL GetDockPosition(int& row, int& column, UINT& dockBarId, float& share, int& thickness) const;
    void RecordChildLayout();
    void DiscardChildLayout();
    void EraseNonClient();
    BOOL IsFloatingInMainWindow() const;
    TkDockContext* GetTkDockContext() const;
    // Docked (top or bottom) horizontally.
    BOOL IsHorzDocked() const { return (m_dwStyle & CBRS_ORIENT_HORZ) != 0; }
    BOOL HasChildLayout() const { return !m_childLayout.empty(); }

protected:
    LRESULT OnSizeMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
    LRESULT OnContextMenu(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroyBar(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    void OnAllowDocking();
    void OnHide();
    void OnFloatInMain();

private:
    struct ChildLayout {
        HWND window;
        RECT rect;
    };
    // The first record holds the client rectangle when recorded, the others one child each.
    std::vector<ChildLayout> m_childLayout;

    // The dock bar the bar sits in, when it is the toolkit's.
    TkDockBar* GetTkDockBar() const;
    void LayoutChildren(std::int32_t cx, std::int32_t cy);
    void ReleasePressedButtons(HDC dc);
    // The class library's pointer handling: a drag or a toggle through the dock context.
    void StartDragFrom(POINT client, BOOL doubleClick);
};

// Free ids of a frame's bars, dock bars left out.
UINT FindFreeBarId(CFrameWnd* frame, UINT startId);
BOOL AreBarIdsUnique(CFrameWnd* frame);
BOOL IsBarIdFree(CFrameWnd* frame, UINT id);

} // namespace vq

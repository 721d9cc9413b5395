#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/Accelerators.h"
#include "platform/gui/ToolTip.h"

#include <string>
#include <vector>

namespace vq {

class CControlBar;
class CDockState;
class CDockBar;
class CDocTemplate;
class CDocument;
class CView;

// Frame styles: the document's title goes into the caption, before the frame's own title with
// FWS_PREFIXTITLE, after it without.
inline constexpr DWORD FWS_SNAPTOBARS = 0x0002;
inline constexpr DWORD FWS_PREFIXTITLE = 0x4000;
inline constexpr DWORD FWS_ADDTOTITLE = 0x8000;
inline constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

// What a frame needs to make its view: the view's class record, which callers may replace with
// a subclass's, and the document to show; for a frame a template makes, the template too.
struct CCreateContext {
    const RuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

// A frame window: commands go to its active view (and on to the view's document), then to the
// frame itself, then to the application.
class CFrameWnd : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(CFrameWnd)
public:
    ~CFrameWnd() override;

    // A frame made by a document template deletes itself with its window.
    BOOL m_bAutoDelete = FALSE;

    // The frame's window with the title (the first line of the string of that id) and the
    // accelerators of that id, then its view as the context says.
    virtual BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* parent = nullptr, CCreateContext* context = nullptr);
    // The view made from the context's class record as a child with the given id; null when the
    // record does not make a view or its window cannot be made.
    CView* CreateView(const CCreateContext& context, UINT id);
    CView* GetActiveView() const { return m_pViewActive; }
    // The frame whose view and document commands go to: an MDI frame's active child, else this.
    virtual CFrameWnd* GetActiveFrame() { return this; }
    // With `notify` the old view hears it is no longer active, then the new one that it is.
    void SetActiveView(CView* view, BOOL notify = TRUE);
    CDocument* GetActiveDocument() const;
    // Once the document and views are in place: the first view becomes the active one when none
    // is, every window object below hears WM_INITIALUPDATE once, and a visible frame is shown and
    // activated with its active view told so.
    void InitialUpdateFrame(CDocument* document, BOOL makeVisible);
    // Shows the frame (SW_SHOW for -1) and makes it the active window.
    virtual void ActivateFrame(int cmdShow = -1);
    virtual void OnUpdateFrameTitle(BOOL addToTitle);
    // The caption for a document's name: the frame's title, then the name (the name first with
    // FWS_PREFIXTITLE); the name alone when the frame has no title, the title alone without a
    // name.
    void UpdateFrameTitleForDocument(const char* documentName);
    const std::string& GetTitle() const { return m_strTitle; }
    void SetTitle(const char* title) { m_strTitle = title ? title : ""; }
    HACCEL GetAccelerators() const { return m_hAccelTable; }
    // The resource id the frame was loaded with; 0 before LoadFrame.
    UINT GetResourceId() const { return m_nIDResource; }

    BOOL OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    // Asks the command targets for the state of every command of the popup about to open; a
    // command nobody handles is grayed.
    void OnInitMenuPopup(HMENU menu);
    // The tip of a tool whose text comes by callback: the part after the first line break of the
    // string of the tool's command id (a window tool's control id); a string without one gives
    // no tip.
    void OnToolTipText(NMTTDISPINFO* info);

    // Layout: the bars take their room from the client area's sides in the order of the window
    // list, the pane AFX_IDW_PANE_FIRST the rest. Re-entry while a layout runs is ignored.
    virtual void RecalcLayout(BOOL notify = TRUE);
    // A layout at the next idle time (WM_IDLEUPDATECMDUI), once however often asked.
    void DelayRecalcLayout(BOOL notify = TRUE);
    BOOL IsLayoutPending() const { return (m_nIdleFlags & idleLayout) != 0; }
    // Shows or hides the frame (a ShowWindow command) at the next idle time.
    void DelayShowFrame(int cmdShow) { m_nShowDelay = cmdShow; }

    // The frame's bars, dock bars included, in the order they were made.
    std::vector<CControlBar*> m_listControlBars;
    void AddControlBar(CControlBar* bar);
    void RemoveControlBar(CControlBar* bar);
    CControlBar* GetControlBar(UINT id) const;

    // Makes a dock bar of the class for each side the style allows.
    void EnableDocking(DWORD dockStyle, const RuntimeClass* dockBarClass);
    // The dock bar on whose side the rectangle (screen) lies, among those the style allows; with
    // CBRS_FLOAT_MULTI also a floating dock bar of that style. 0 for none, else the dock bar's
    // alignment.
    DWORD CanDock(RECT rect, DWORD style, CDockBar** dockBar = nullptr) const;
    virtual void DockControlBar(CControlBar* bar, CDockBar* dockBar, const RECT* rect);
    virtual void ReDockControlBar(CControlBar* bar, CDockBar* dockBar, const RECT* rect);
    virtual void FloatControlBar(CControlBar* bar, POINT screen, DWORD style);
    void ShowControlBar(CControlBar* bar, BOOL show, BOOL delay);
    // The frame a floating bar lives in, made from m_pFloatingFrameClass.
    virtual CFrameWnd* CreateFloatingFrame(DWORD style);
    const RuntimeClass* m_pFloatingFrameClass = nullptr;
    // A floating frame's own making, as a popup over `parent` for bars of the style, and its
    // placing at a screen point; a plain frame makes none.
    virtual BOOL CreateFloating(CFrameWnd* parent, DWORD style);
    virtual void PlaceFloating(POINT screen);

    // The docking layout taken into the state's records (every dock bar and every bar that can
    // dock), and such records applied: floating frames made for floating dock bars, bars found
    // by id, records of bars the frame lacks passed over.
    virtual void GetDockState(CDockState& state);
    virtual void SetDockState(const CDockState& state);

    // Sends WM_FLOATSTATUS with the flags to every window that floats over this frame (the
    // top-level windows it owns).
    void NotifyFloatingWindows(DWORD flags);
    // Drawn active because the frame or a window floating over it in step is the active one.
    BOOL IsStayActive() const { return m_bStayActive; }
    // The frame (`active`) or a window floating over it became active, or lost activation to
    // `other`: the frame stays drawn active while `other` floats over it in step, and its floating
    // windows hear whether it does.
    void UpdateStayActive(BOOL active, HWND other);

protected:
    enum : UINT { idleLayout = 2, idleNotify = 4 };
    UINT m_nIdleFlags = 0;
    int m_nShowDelay = -1;
    BOOL m_bInRecalcLayout = FALSE;
    BOOL m_bStayActive = FALSE;

    // Makes the frame's contents while its window is created: the context's view, when it names
    // one. FALSE fails the creation.
    virtual BOOL OnCreateClient(CCreateContext* context);
    // A document shown by this frame only is closed with it, after it agreed to go.
    virtual void OnClose();
    void PostNcDestroy() override;

    // The first line of the string of that id: a frame's title.
    static std::string ResourceTitle(UINT resourceId);

    std::string m_strTitle;
    HACCEL m_hAccelTable = nullptr;
    UINT m_nIDResource = 0;
    CCreateContext* m_pCreatingContext = nullptr;

private:
    void OnIdleUpdateCmdUI();
    void OnSetMessageString(WPARAM wParam, LPARAM lParam);

    CView* m_pViewActive = nullptr;
    std::string m_toolTipText;
};

// The frame whose commands this thread is routing: a handler asks it which frame a command
// came through. Null outside routing.
CFrameWnd* AfxGetRoutingFrame();

// Makes `frame` the routing frame for the lifetime of this object; the one before comes back
// after, however the routing ends.
class CPushRoutingFrame {
public:
    explicit CPushRoutingFrame(CFrameWnd* frame);
    ~CPushRoutingFrame();
    CPushRoutingFrame(const CPushRoutingFrame&) = delete;
    CPushRoutingFrame& operator=(const CPushRoutingFrame&) = delete;

private:
    CFrameWnd* m_pOld;
};

} // namespace vq

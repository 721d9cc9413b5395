#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/ToolTip.h"

#include <string>
#include <vector>

namespace vq {

class CControlBar;
class CDockBar;
class CDocument;
class CView;

// What a frame needs to make its view: the view's class record, which callers may replace with
// a subclass's, and the document to show.
struct CCreateContext {
    const RuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
};

// A frame window: commands go to its active view (and on to the view's document), then to the
// frame itself, then to the application.
class CFrameWnd : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(CFrameWnd)
public:
    CFrameWnd() = default;
    ~CFrameWnd() override;

    // The view made from the context's class record as a child with the given id; null when the
    // record does not make a view or its window cannot be made.
    CView* CreateView(const CCreateContext& context, UINT id);
    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* view) { m_pViewActive = view; }

    BOOL OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
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

    // The frame's bars, dock bars included, in the order they were made.
    std::vector<CControlBar*> m_listControlBars;
    void AddControlBar(CControlBar* bar);
    void RemoveControlBar(CControlBar* bar);
    CControlBar* GetControlBar(UINT id) const;

    // Makes a dock bar of the class for each side the style allows.
    void EnableDocking(DWORD dockStyle, const RuntimeClass* dockBarClass);
    // The dock bar on whose side the rectangle (screen) lies, among those the style allows;
    // 0 for none, else the dock bar's alignment.
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

protected:
    enum : UINT { idleLayout = 2, idleNotify = 4 };
    UINT m_nIdleFlags = 0;
    BOOL m_bInRecalcLayout = FALSE;

private:
    void OnIdleUpdateCmdUI();
    void OnSetMessageString(WPARAM wParam, LPARAM lParam);

    CView* m_pViewActive = nullptr;
    std::string m_toolTipText;
};

} // namespace vq

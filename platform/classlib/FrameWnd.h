#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/ToolTip.h"

#include <string>

namespace vq {

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

private:
    CView* m_pViewActive = nullptr;
    std::string m_toolTipText;
};

} // namespace vq

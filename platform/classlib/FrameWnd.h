#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/Accelerators.h"
#include "platform/gui/ToolTip.h"

#include <string>

namespace vq {

class CDocTemplate;
class CDocument;
class CView;

// Frame styles: the document's title goes into the caption, before the frame's own title with
// FWS_PREFIXTITLE, after it without.
inline constexpr DWORD FWS_PREFIXTITLE = 0x4000;
inline constexpr DWORD FWS_ADDTOTITLE = 0x8000;
inline constexpr DWORD WS_OVERLAPPEDWINDOW = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

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
    const std::string& GetTitle() const { return m_strTitle; }
    void SetTitle(const char* title) { m_strTitle = title ? title : ""; }
    HACCEL GetAccelerators() const { return m_hAccelTable; }

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

protected:
    // Makes the frame's contents while its window is created: the context's view, when it names
    // one. FALSE fails the creation.
    virtual BOOL OnCreateClient(CCreateContext* context);
    // A document shown by this frame only is closed with it, after it agreed to go.
    virtual void OnClose();
    void PostNcDestroy() override;

    std::string m_strTitle;
    HACCEL m_hAccelTable = nullptr;

private:
    CView* m_pViewActive = nullptr;
    CCreateContext* m_pCreatingContext = nullptr;
    std::string m_toolTipText;
};

} // namespace vq

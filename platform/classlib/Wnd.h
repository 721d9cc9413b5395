#pragma once

#include "platform/classlib/CmdTarget.h"

#include <functional>
#include <memory>
#include <string>

namespace vq {

class CDataExchange;
struct ToolHit;
struct DialogTemplate;
class CFrameWnd;

// A window object over a window handle. The handle map ties each handle to at most one object;
// objects get their messages through the class library's window procedure, by their own class or
// by subclassing a window made elsewhere, and Default() hands the current message to whatever
// procedure the window had before.
class CWnd : public CCmdTarget {
    VQ_DECLARE_RUNTIME_CLASS(CWnd)
    VQ_DECLARE_MESSAGE_MAP()
public:
    HWND m_hWnd = 0;

    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The object of a handle, or null when none is attached.
    static CWnd* FromHandlePermanent(HWND window);
    // The name of the class every window object made by CreateEx without a class uses.
    static const char* WindowClassName();
    // The class of windows made from dialog templates.
    static const char* DialogClassName();
    // The class of frames loaded from a resource id: that of CreateEx, with the id's icon as the
    // class icon (scaled to the small icon size for captions). Without such an icon, the plain one.
    static const char* IconWindowClassName(UINT resourceId);

    BOOL Attach(HWND window);
    HWND Detach();
    // Routes the window's messages through this object; its old procedure stays the default.
    BOOL SubclassWindow(HWND window);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    // A rectangle whose left is CW_USEDEFAULT leaves the place and size to the window layer.
    virtual BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                          const RECT& rect, CWnd* parent, UINT id);
    // Sees and may change every window CreateEx is about to make; FALSE stops the creation. The
    // base gives a window without a class the library's own.
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // The window and its controls from a dialog template (a resource, or one in memory), then
    // WM_INITDIALOG. A template with WS_CHILD makes a child dialog of the parent, whose controls
    // take part in the Tab order of the dialog around it; any other is a popup the parent owns.
    BOOL CreateDlg(UINT templateId, CWnd* parent);
    BOOL CreateDlgIndirect(const DialogTemplate& dialogTemplate, CWnd* parent);
    BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
                UINT id);
    virtual BOOL DestroyWindow();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void SetWindowText(const char* text) const;
    std::string GetWindowText() const;
    CWnd* GetParent() const;
    // The nearest frame window above this one, however many windows lie between.
    CFrameWnd* GetParentFrame() const;
    // Dialog units to pixels as the template of this window converted them; a window made
    // otherwise uses the system's dialog units.
    void MapDialogRect(RECT* rect) const;
    CWnd* GetDlgItem(UINT id) const;
    UINT GetDlgCtrlID() const;
    DWORD GetStyle() const;
    void Invalidate(BOOL erase = TRUE) const;
    void SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam) const;

    // The window that gets this window's notifications and commands instead of its parent.
    void SetOwner(CWnd* owner) { m_hWndOwner = owner ? owner->m_hWnd : 0; }
    CWnd* GetOwner() const;

    // Lays out the children of ids first..last (WM_SIZEPARENT), then gives the child leftOver
    // the rest of the client area. reposQuery only answers the rest in `param`; reposExtra takes
    // `param`'s sides off the client area first. `client` replaces the client area.
    enum : UINT { reposDefault = 0, reposQuery = 1, reposExtra = 2 };
    void RepositionBars(UINT first, UINT last, UINT leftOver, UINT flags = reposDefault,
                        RECT* param = nullptr, const RECT* client = nullptr, BOOL stretch = TRUE);

    // Fields to controls, or with `saveAndValidate` back from them, through DoDataExchange. FALSE
    // when a field failed: its control has the focus and the user has been told.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* exchange);

    // The window rectangle a pane takes from the room the layout leaves it (parent client
    // coordinates). The base takes all the room, its edges drawn inside.
    virtual void CalcWindowRect(RECT* rect) const;

    // The message being handled, passed on to the window's previous procedure.
    LRESULT Default();

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // A control's own chance at what it sent its parent; by default the control's map decides.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Before dispatch, from the target window up to (not past) the top window. The base takes
    // nothing; it only shows the window's tool tips.
    virtual BOOL PreTranslateMessage(MSG* msg);
    static BOOL WalkPreTranslateTree(HWND stop, MSG* msg);
    // After the window is gone; objects that own themselves delete themselves here.
    virtual void PostNcDestroy() {}

    // Tips for the tools OnToolHitTest finds under the pointer in this window and its children,
    // shown by a tip of the window's own as the pointer messages pass PreTranslateMessage.
    BOOL EnableToolTips(BOOL enable = TRUE);
    // The tool at a point of the client area, with its id; -1 for none. By default a visible
    // child window is a tool of its own whose text its parent gives by TTN_NEEDTEXT.
    virtual std::intptr_t OnToolHitTest(POINT point, ToolHit* hit) const;
    void FilterToolTipMessage(MSG* msg);

    static LRESULT WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    WNDPROC m_pfnSuper = nullptr;
    HWND m_hWndOwner = 0;

    // Makes the window of a dialog template with its parent or owner: hidden whatever the
    // template says when `showAsTemplate` is false. `focusFirst` is the answer of WM_INITDIALOG:
    // whether the first tab stop should take the focus.
    BOOL CreateFromTemplate(const DialogTemplate& dialogTemplate, HWND parent, bool showAsTemplate,
                            BOOL* focusFirst);
    // Makes the window by a call that another window carries out (an MDI client's WM_MDICREATE);
    // this object takes the window's messages from the first one on.
    BOOL CreateThrough(const std::function<HWND()>& make);
    // The message map's own handler for a message, without the reflection and the passing on of
    // system changes that OnWndMsg does first.
    BOOL OnMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

private:
    struct ToolTips;
    std::unique_ptr<ToolTips> m_toolTips;
    // What a window made from a template keeps: its font and its dialog units.
    struct TemplateParts;
    std::unique_ptr<TemplateParts> m_templateParts;

    // The control that sent a notification, when it has an object.
    static CWnd* NotifyingChild(HWND parent, UINT message, LPARAM lParam);
};

} // namespace vq

#pragma once

#include "platform/gui/StatusBar.h"
#include "toolkit/frames/TkControlBar.h"

#include <string>
#include <vector>

namespace vq {

// Pane styles: the low ones are the status control's drawing types.
enum : UINT {
    SBPS_NORMAL = 0,
    SBPS_NOBORDERS = SBT_NOBORDERS,
    SBPS_POPOUT = SBT_POPOUT,
    SBPS_OWNERDRAW = SBT_OWNERDRAW,
    SBPS_DISABLED = 0x04000000, // the text is hidden
    SBPS_STRETCH = 0x08000000,  // takes a share of the free width
};

// One pane of a status bar, in pane order.
struct TkStatusPane {
    UINT id = 0;
    std::int32_t width = 0; // of the text, without the edges
    UINT style = 0;
    UINT flags = 0;
    std::string text;

    static constexpr UINT textPending = 0x2;
};

// The main frame's status bar: the status control in a control bar, with panes addressed by
// index or command id, texts from the string table and states from command updates.
class TkStatusBar : public TkControlBar {
    VQ_DECLARE_RUNTIME_CLASS(TkStatusBar)
    VQ_DECLARE_MESSAGE_MAP()
public:
    TkStatusBar();

    using TkControlBar::Create;
    using TkControlBar::CreateEx;
    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT id = AFX_IDW_STATUS_BAR);
    BOOL CreateEx(CWnd* parent, DWORD controlStyle, DWORD style, UINT id);

    virtual BOOL SetIndicators(const UINT* ids, int count);
    int GetCount() const { return int(m_panes.size()); }
    // The first pane with the id, or -1.
    int FindPaneById(UINT id) const;
    UINT GetItemID(int index) const;
    // Empty when the control has no such part.
    void GetItemRect(int index, RECT* rect) const;
    UINT GetPaneStyle(int index) const;
    void SetPaneStyle(int index, UINT style);
    void GetPaneInfo(int index, UINT& id, UINT& style, std::int32_t& width) const;
    void SetPaneInfo(int index, UINT id, UINT style, std::int32_t width);
    void SetPaneWidth(int index, std::int32_t width);
    std::string GetPaneText(int index) const;
    void GetPaneText(int index, std::string& text) const { text = GetPaneText(index); }
    // With `update` the control gets the text at once, else at the next paint.
    BOOL SetPaneText(int index, const char* text, BOOL update = TRUE);
    void UpdateAllPanes(BOOL updateRects, BOOL updateTexts);

    SIZE CalcFixedLayout(BOOL stretch, BOOL horz) override;
    SIZE CalcDynamicLayout(int length, DWORD mode) override;
    void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    virtual void DrawItem(DRAWITEMSTRUCT*) {}

    // The client rectangle less the bar's margins and the size grip.
    void CalcStatusInsideRect(RECT& rect) const;
    // The text's extent in the bar's font.
    SIZE TextExtent(const std::string& text) const;
    const TkStatusPane& GetPane(int index) const { return m_panes[size_t(index)]; }
    BOOL IsValidIndex(int index) const { return index >= 0 && index < GetCount(); }

protected:
    LRESULT OnNcHitTest(WPARAM, LPARAM);
    LRESULT OnNcCalcSize(WPARAM, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnStatusSize(WPARAM, LPARAM);
    LRESULT OnSetText(WPARAM, LPARAM);
    LRESULT OnGetText(WPARAM, LPARAM);
    LRESULT OnGetTextLength(WPARAM, LPARAM);
    LRESULT OnSetMinHeight(WPARAM, LPARAM);
    LRESULT OnPassDefault(WPARAM, LPARAM);
    void SendPaneText(int index);
    void SendPendingTexts();

    std::vector<TkStatusPane> m_panes;
    std::int32_t m_nMinHeight = 0;
};

// The command update of one pane: disabling hides its text, checking pops it out.
class TkStatusCmdUI : public CCmdUI {
public:
    TkStatusBar* m_pBar = nullptr;

    void Enable(BOOL enable = TRUE) override;
    void SetCheck(int check = 1) override;
    void SetText(const char* text) override;
};

} // namespace vq

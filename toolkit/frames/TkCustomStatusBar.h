#pragma once

#include "toolkit/frames/TkProgressCtrl.h"
#include "toolkit/frames/TkStatusBar.h"

#include <memory>
#include <string>
#include <vector>

namespace vq {

// What SetPaneInfoEx and GetPaneInfoEx exchange; the mask says which fields count.
struct TkStatusPaneInfo {
    enum : UINT {
        maskId = 0x1,
        maskStyle = 0x2,
        maskWidth = 0x4,
        maskText = 0x8,
        maskAlignment = 0x10,
        maskTextColor = 0x20,
        maskBackColor = 0x40,
        maskBitmap = 0x80,
        maskCursor = 0x100,
        maskAttributes = 0x1F0,
    };

    int index = 0;
    UINT id = 0;
    UINT style = 0;
    std::int32_t width = 0;
    std::string text;
    COLORREF textColor = 0;
    COLORREF backColor = 0;
    HBITMAP bitmap = nullptr; // borrowed
    HCURSOR cursor = nullptr;
    int alignment = 0; // TA_ flags
    UINT mask = 0;
};

// A status bar whose panes are all drawn by the bar: colours, alignment, a bitmap or a cursor per
// pane, child windows kept in panes, and a progress bar shown over the bar's right with its text
// in pane 0.
class TkCustomStatusBar : public TkStatusBar {
    VQ_DECLARE_RUNTIME_CLASS(TkCustomStatusBar)
    VQ_DECLARE_MESSAGE_MAP()
public:
    // Pane-window flags: keep the window's width, keep its height, inset it by one pixel.
    enum : UINT { keepWidth = 1, keepHeight = 2, insetWindow = 4 };
    static constexpr UINT kProgressId = 1;

    TkCustomStatusBar();
    ~TkCustomStatusBar() override;

    BOOL SetIndicators(const UINT* ids, int count) override;
    void SetPaneInfoEx(const TkStatusPaneInfo& info, BOOL fit);
    // Fills `info` for its index.
    void GetPaneInfoEx(TkStatusPaneInfo& info) const;
    // Fit mode 0 moves the window onto the pane, 1 makes the pane as wide as the window.
    void SetPaneWindow(int index, CWnd* window, int fitMode, UINT flags);
    CWnd* GetPaneWindow(int index) const;
    UINT GetPaneWindowFlags(int index) const;
    // Every pane has its rectangle, however many there are.
    BOOL GetPaneRect(int index, RECT& rect) const;
    int PaneFromPoint(POINT point) const;
    void SetProgressPos(int position);
    void StepProgress();
    void FitPanesToContents();
    TkProgressCtrl* GetProgress() const { return m_pProgress.get(); }

    void DrawItem(DRAWITEMSTRUCT* item) override;
    virtual BOOL ShowProgress(const char* text, int lower, int upper, BOOL reset, DWORD styleFlags);
    virtual void HideProgress();
    virtual void ShowPaneWindows(BOOL show);
    virtual void RepositionPaneWindows();

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    struct PaneAttributes {
        COLORREF textColor = 0;
        COLORREF backColor = 0;
        HBITMAP bitmap = nullptr;
        HCURSOR cursor = nullptr;
        int alignment = 0;
        UINT flags = 0;
    };

    LRESULT OnSetCursor(WPARAM, LPARAM);
    LRESULT OnSetFont(WPARAM, LPARAM);
    LRESULT OnSizeParent(WPARAM, LPARAM);
    LRESULT OnCustomSetText(WPARAM, LPARAM);
    void RecalcParentLayout();
    void InvalidatePane(int index);
    void DrawPaneText(HDC dc, const RECT& r, const std::string& text, const PaneAttributes& attributes);

    std::unique_ptr<TkProgressCtrl> m_pProgress;
    std::unique_ptr<TkStatusPaneInfo> m_pSavedPane;
    std::vector<PaneAttributes> m_attributes;
    std::vector<CWnd*> m_paneWindows;
    std::vector<UINT> m_paneWindowFlags;
};

} // namespace vq

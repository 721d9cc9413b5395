#pragma once

#include "platform/classlib/ControlBar.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vq {

class TkControlBarManager;

class TkControlBar;

// Where a bar docks by row and column. Rows and columns count from the start unless a flag says
// from the end; a negative row from the start opens rows before the first.
struct TkDockPosition {
    enum : UINT { RowFromEnd = 1, ColumnFromEnd = 2, NewRow = 4 };
    std::int32_t row = 0;
    std::int32_t column = 0;
    UINT flags = 0;
};

// What the frames of the program ask of their MDI frame when a bar floats inside the main
// window, and of a workbook whether its tabs show.
class TkDockingFrameHost {
public:
    virtual ~TkDockingFrameHost() = default;
    virtual BOOL AreWorkbookTabsShown() const { return FALSE; }
    virtual void FloatControlBarAsMDIChild(CControlBar* bar, POINT point, DWORD style) = 0;
    virtual void FloatControlBarBack(CControlBar* bar, POINT point, DWORD style) = 0;
    // What a saved docking layout asks of the frame: its bar manager, a floating frame inside
    // the main window for a record kept there, and the placements of such frames once the bars
    // are back.
    virtual TkControlBarManager* GetControlBarManager() const { return nullptr; }
    virtual CFrameWnd* CreateFloatingFrameAsMDIChild(DWORD) { return nullptr; }
    virtual BOOL IsToolkitMDIFrame() const { return FALSE; }
};

// The toolkit's dock bar: rows of bars along one side of a frame (or inside a floating frame),
// sizing bars sharing their row by their shares, with splitters between them.
class TkDockBar : public CDockBar {
    VQ_DECLARE_RUNTIME_CLASS(TkDockBar)
    VQ_DECLARE_MESSAGE_MAP()
public:
    // A line between two rows, or two bars of a row, that the user drags to resize them.
    class Splitter : public Object {
        VQ_DECLARE_RUNTIME_CLASS(Splitter)
    public:
        enum Kind { Row = 0, Bar = 1 };
        int m_nOrientation = 0;
        int m_nKind = Row;
        RECT m_rect;
        // The row's first entry for a row splitter, the bar before it for a bar splitter.
        int m_nIndex = 0;
        BOOL m_bUsed = FALSE;
        std::int32_t m_nTrackMin = 0;
        std::int32_t m_nTrackMax = 0;
        virtual void Draw(HDC dc) const;
    };

    // The thin sunken edge on the outer side of a sizing row.
    class ClientEdge : public Object {
        VQ_DECLARE_RUNTIME_CLASS(ClientEdge)
    public:
        int m_nOrientation = 0;
        RECT m_rect;
        BOOL m_bUsed = FALSE;
        virtual void Draw(HDC dc) const;
    };

    TkDockBar();
    TkDockBar(BOOL floating, BOOL inMDIChild);
    ~TkDockBar() override;

    std::vector<CControlBar*> m_arrRedraw;
    std::vector<std::unique_ptr<ClientEdge>> m_arrClientEdges;
    std::vector<std::unique_ptr<Splitter>> m_arrSplitters;
    BOOL m_bInMDIChild = FALSE;
    SizeParentParams* m_pSizeParent = nullptr;
    CControlBar* m_pLastDocked = nullptr;
    BOOL m_bInRepaint = FALSE;
    BOOL m_bLayoutChanged = FALSE;
    float m_fMinShare = 0.05f;

    BOOL PreTranslateMessage(MSG* msg) override;
    SIZE CalcFixedLayout(BOOL stretch, BOOL horz) override;
    void DoPaint(HDC dc) override;
    int GetDockedVisibleCount() const override;
    void DockControlBar(CControlBar* bar, const RECT* rect) override;
    void ReDockControlBar(CControlBar* bar, const RECT* rect) override;
    BOOL RemoveControlBar(CControlBar* bar, int skipIndex = -1, int placeholder = 0) override;

    virtual BOOL IsBarExpanded(CControlBar* bar);
    virtual BOOL IsBarAloneInRow(CControlBar* bar);
    virtual void DockControlBarEx(CControlBar* bar, const TkDockPosition& position);
    virtual void DockControlBarAt(CControlBar* bar, int column, int row);
    virtual BOOL GetRowBars(std::vector<CControlBar*>& list, CControlBar* bar);
    virtual void ExpandBar(CControlBar* bar, int mode);
    virtual void QueueRowRedraw(CControlBar* bar);
    virtual void RedrawNow();
    virtual void OnSplitterDown(Splitter* splitter, POINT point);
    virtual void AddSplitter(int kind, int orientation, const RECT& rect, int index);
    virtual void CalcSplitterLimits(Splitter* splitter);
    virtual void AddClientEdge(int orientation, const RECT& rect);
    virtual void QueueRowToolBars(CControlBar* bar);
    virtual void NormalizeRow(int first, CControlBar* keep, int* sizing, int* toolBarLike);
    virtual void UpdateMinShare();
    virtual float AddShare(float delta, CControlBar* bar);
    virtual int InsertAtPoint(CControlBar* bar, const RECT& rect, POINT mid);
    virtual int InsertAtPosition(CControlBar* bar, const TkDockPosition& position);
    virtual int InsertAtRowColumn(CControlBar* bar, int column, int row);
    virtual int InsertAsFirstRow(CControlBar* bar);
    virtual int InsertAtIndex(int index, CControlBar* bar);
    virtual RECT CalcDropRect(CControlBar* bar, const RECT& drag, POINT mouse, int& lastRow, RECT& lastRect,
                              POINT& lastPoint);
    virtual void ApplySplitterMove(Splitter* splitter, int distance);

    // The docked bar at entry 1, or null.
    CControlBar* GetFirstDockedBar() const;
    // The entry index where a rectangle (client coordinates) with that midpoint drops.
    int FindDropRow(const RECT& rect, POINT mid) const;
    // Tracks a splitter drag; the distance moved, 0 when cancelled or refused.
    int TrackSplitter(Splitter* splitter, POINT point);
    // The frame whose host interface the MDI calls and the tabs test go through.
    void SetHost(TkDockingFrameHost* host) { m_pHost = host; }
    TkDockingFrameHost* GetHost() const { return m_pHost; }
    // Top or bottom.
    BOOL IsHorz() const { return (m_dwStyle & CBRS_ORIENT_HORZ) != 0; }
    // What docking a bar here does to the styles of both (and to a floating frame's title), also
    // when a saved layout puts the bar back.
    void StyleSteps(CControlBar* bar);
    void AdoptBarStyle(CControlBar* bar) override { StyleSteps(bar); }
    // Has the bar's frame redrawn by the next repaint; a null bar is passed over.
    void Queue(CControlBar* bar);

protected:
    LRESULT OnCreateDockBar(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroyDockBar(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursorMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMoveMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDownMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnSizeParentDockBar(WPARAM wParam, LPARAM lParam);

private:
    TkDockingFrameHost* m_pHost = nullptr;

    // The entry after the row that holds `index`, i.e. its row end.
    int RowEnd(int index) const;
    int RowStart(int index) const;
    void AttachSteps(CControlBar* bar, int index);
    void RemovePlaceholder(UINT id, int skipIndex = -1);
    Splitter* SplitterAt(POINT client) const;
    std::int32_t ClientLength() const;
    void LayoutRows(SIZE& result, BOOL query, std::int32_t W, std::int32_t H);
};

// The row share of a bar, for bars that have one.
float* ShareOf(CControlBar* bar);

} // namespace vq

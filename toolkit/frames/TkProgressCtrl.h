#pragma once

#include "platform/classlib/ProgressCtrl.h"
#include "platform/gui/GdiObject.h"

#include <cstdint>
#include <string>

namespace vq {

// A progress bar that draws itself: a filled and an empty part in two colours, with a percentage
// or a caption drawn over both in the other part's colour so it stays readable across the edge.
// It can step itself on a timer, and in native mode leaves the drawing to the common control.
class TkProgressCtrl : public CProgressCtrl {
    VQ_DECLARE_RUNTIME_CLASS(TkProgressCtrl)
    VQ_DECLARE_MESSAGE_MAP()
public:
    // Style flags.
    enum : DWORD {
        vertical = 0x1,
        fillFromRight = 0x10,
        fillFromTop = 0x20,
        percentText = 0x100,
        captionText = 0x200,
        textLeft = 0x1000,
        textRight = 0x2000,
        nativeMode = 0x10000,
    };
    static constexpr std::uintptr_t kAutoStepTimer = 256;

    TkProgressCtrl() = default;

    virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, DWORD styleFlags);
    virtual BOOL SubclassDlgItem(UINT id, CWnd* parent);
    virtual void SetRange(int lower, int upper);
    // Each answers the old position; with `pump` the pending paints of the thread run at once,
    // so a loop on the GUI thread shows every step.
    virtual int SetPos(int position, BOOL pump);
    virtual int OffsetPos(int delta, BOOL pump);
    virtual int SetStep(int step);
    virtual void SetColors(COLORREF bar, COLORREF background);
    // The font stays the caller's.
    virtual void SetTextFont(HFONT font, BOOL redraw);
    virtual void SetCaption(const std::string& caption);
    virtual void GetCaption(std::string& caption) const;
    virtual int StepIt(BOOL pump);
    virtual void Reset();
    // Steps every `milliseconds` until the upper bound; 0 stops. Answers whether it runs (0 at or
    // above the upper bound) or, for 0, 1.
    virtual BOOL SetAutoStep(UINT milliseconds);
    virtual void UpdateClientRect();
    virtual void FillBar(HDC dc, const RECT& r);
    virtual void FillBackground(HDC dc, const RECT& r);
    virtual void DrawBarText(HDC dc, double percent, const RECT& emptyPart, const RECT& filledPart);
    virtual void AdjustText(std::string& text);
    virtual void Paint(HDC dc);
    virtual void CalcRects(double percent, RECT& filledPart, RECT& emptyPart);
    virtual void DrawToMemory(double percent, const RECT& filledPart, const RECT& emptyPart, HDC dc);
    virtual double GetPercent();

    void SetStyleFlags(DWORD flags);
    DWORD GetStyleFlags() const { return m_styleFlags; }
    // Removes and dispatches every pending WM_PAINT of the thread.
    static void PumpPaintMessages();

    int GetPosition() const { return m_position; }
    int GetStepSize() const { return m_step; }
    int GetLower() const { return m_lower; }
    int GetUpper() const { return m_upper; }
    COLORREF GetBarColor() const { return m_barColor; }
    COLORREF GetBackgroundColor() const { return m_backgroundColor; }
    BOOL IsCreated() const { return m_created; }
    // The text DrawBarText shows for a percentage, before AdjustText.
    std::string BarText(double percent) const;

protected:
    LRESULT OnCreate(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnShowWindow(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    void Repaint();
    BOOL IsNative() const { return (m_styleFlags & nativeMode) != 0; }

    int m_position = 0;
    int m_step = 10;
    int m_lower = 0;
    int m_upper = 100;
    COLORREF m_barColor = 0x800000;
    COLORREF m_backgroundColor = 0xFFFFFF;
    HFONT m_font = nullptr;
    BOOL m_visible = TRUE;
    BOOL m_created = FALSE;
    // The percentage, with a bit that no drawing reads but callers may test.
    DWORD m_styleFlags = 0x4100;
    RECT m_clientRect;
    std::string m_caption;
};

} // namespace vq

#pragma once

#include "platform/classlib/Button.h"
#include "platform/classlib/Wnd.h"
#include "platform/gui/GdiObject.h"
#include "platform/gui/Messages.h"

#include <cstdint>
#include <memory>

namespace vq {

class CDataExchange;
class TkColorWell;

// Sent to a well's owner for every pick: wParam the control id (0 from a popup to its button),
// lParam the colour.
inline constexpr UINT WM_TK_COLORSELECTED = WM_USER + 101;
// Posted by a popup well to its button when the user asks for another colour.
inline constexpr UINT WM_TK_COLOROTHER = WM_USER + 102;

// The colours every well paints with, re-read from the system when a well is made and on a
// colour change.
struct TkWellColors {
    COLORREF background = 0;
    COLORREF frame = 0;
    COLORREF light = 0;
    COLORREF darkShadow = 0;
    COLORREF face = 0;
    COLORREF shadow = 0;
    COLORREF highlight = 0;

    void Update();
};

extern TkWellColors tkWellColors;

// The "&Other..." button under a well's grid.
class TkWellOtherButton : public CButton {
    VQ_DECLARE_MESSAGE_MAP()
public:
    explicit TkWellOtherButton(TkColorWell* well) : m_well(well) {}

protected:
    LRESULT OnGetDlgCode(WPARAM, LPARAM);
    LRESULT OnKeyDown(WPARAM key, LPARAM);
    LRESULT OnKillFocus(WPARAM next, LPARAM);

private:
    bool InPopup() const;

    TkColorWell* m_well;
};

// A grid of colour cells to pick from by mouse or arrow keys, optionally with an "&Other..."
// button under it that asks the colour dialog for one more colour, shown in an extra cell. Every
// selection change is sent to the parent.
class TkColorWell : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(TkColorWell)
    VQ_DECLARE_MESSAGE_MAP()
public:
    static constexpr UINT otherButtonId = 59953;
    // How a cell was selected.
    enum How : int { byKeyboard = 0, byMouseMove = 1, byCommit = 2 };

    TkColorWell();
    ~TkColorWell() override;

    // With bit 0 of the style the well has a raised border. The origin is in dialog units when
    // asked, else in pixels.
    virtual BOOL Create(DWORD style, std::int32_t x, std::int32_t y, CWnd* parent, UINT id, BOOL dialogUnits,
                        BOOL otherButton, void* param = nullptr);
    virtual void SetColorDialogFlags(DWORD flags) { m_dialogFlags = flags; }
    // The 16 colours the colour dialog offers as its own; the caller keeps the array.
    virtual void SetCustomColors(COLORREF* colours) { m_customColours = colours; }
    virtual void Reset();
    virtual void DrawCell(HDC dc, HDC paintDc, const RECT& origin, int column, int row);
    virtual void DrawSelectedCell(HDC dc, HDC paintDc, const RECT& origin, int column, int row);
    virtual void NotifyParent();
    virtual void SelectCell(int column, int row, int how);
    virtual void CreateWellPalette();
    virtual void SetDefaultGrid();
    // A derived grid's own colours, after the default fill of `filled` entries.
    virtual void FillPaletteEntries(PALETTEENTRY* /*entries*/, int /*count*/, int /*filled*/) {}
    virtual UINT GetWellClassStyle() const { return 0; }
    virtual BOOL HasFocusFrame() const { return TRUE; }
    virtual RECT CalcWellRect(CWnd* parent, std::int32_t x, std::int32_t y, BOOL dialogUnits);

    COLORREF GetColor() const;
    void SetColor(COLORREF colour);
    void SetHotTracking(BOOL on) { m_hotTracking = on; }
    BOOL GetHotTracking() const { return m_hotTracking; }
    void SetUsePalette(BOOL on) { m_usePalette = on; }
    BOOL GetUsePalette() const { return m_usePalette; }
    DWORD GetColorDialogFlags() const { return m_dialogFlags; }
    COLORREF* GetCustomColors() const { return m_customColours; }

    // The cell's rectangle in the client area (the custom cell with its offset).
    RECT GetCellRect(int column, int row) const;
    int GetSelectedColumn() const { return m_selectedColumn; }
    int GetSelectedRow() const { return m_selectedRow; }
    int GetColumns() const { return m_columns; }
    int GetRows() const { return m_rows; }
    std::int32_t GetCellWidth() const { return m_cellWidth; }
    BOOL HasCustomColor() const { return m_customPresent; }
    CButton* GetOtherButton() const;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnSetFocus(WPARAM previous, LPARAM);
    LRESULT OnKillFocus(WPARAM, LPARAM);
    LRESULT OnGetDlgCode(WPARAM, LPARAM);
    LRESULT OnKeyDown(WPARAM key, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM point);
    LRESULT OnMouseMove(WPARAM, LPARAM point);
    LRESULT OnSysColorChange(WPARAM, LPARAM);
    LRESULT OnCtlColorButton(WPARAM dc, LPARAM);

    // The "&Other..." button was pressed.
    virtual void OnOther();
    // The base's click: take the focus, and commit a cell under the point.
    LRESULT ClickCell(LPARAM point);
    bool HitTest(POINT point, int& column, int& row) const;
    bool IsCustomCell(int column, int row) const { return column == m_customColumn && row == m_customRow; }
    bool CustomAvailable() const { return m_otherButton && m_customPresent; }
    void InvalidateCell(int column, int row) const;
    RECT GridOrigin() const;
    int PaletteIndex(int column, int row) const;
    void DrawFocusFrame(bool focused) const;

    std::unique_ptr<TkWellOtherButton> m_button;
    HPALETTE m_palette = nullptr;
    int m_rows = 5;
    int m_columns = 4;
    int m_customColumn = 3;
    int m_customRow = 5;
    std::int32_t m_cellHeight = 0;
    std::int32_t m_cellWidth = 0;
    std::int32_t m_marginX = 2;
    std::int32_t m_marginY = 2;
    std::int32_t m_buttonRowHeight = 0;
    int m_selectedRow = 0;
    int m_selectedColumn = 0;
    int m_customIndex = 20;
    BOOL m_hasFocus = FALSE;
    BOOL m_hotTracking = FALSE;
    BOOL m_otherButton = FALSE;
    BOOL m_customPresent = FALSE;
    BOOL m_usePalette = FALSE;
    DWORD m_dialogFlags = 3;
    COLORREF* m_customColours = nullptr;
    HBRUSH m_background = nullptr;

private:
    void DeletePalette();
};

void DDX_ColorWell(CDataExchange* exchange, TkColorWell& well, COLORREF& colour);

} // namespace vq

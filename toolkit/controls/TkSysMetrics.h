#pragma once

#include "platform/gui/WindowSystem.h"

#include <cstdint>

namespace vq {

// The system colours, border metrics, cursors and new-shell flag every toolkit class reads from
// one shared record instead of asking the system each time. Readers use the fields directly;
// only the dock bar writes, its two resize cursors, once each.
class TkSysMetrics {
public:
    // Built before any window exists, from tables that are constant-initialised, so the order of
    // static initialisation does not matter.
    TkSysMetrics();

    // Re-reads the eight colours; a toolkit window calls it on WM_SYSCOLORCHANGE, for all.
    void UpdateSysColors();

    std::int32_t m_nBorderWidth = 0;
    std::int32_t m_nBorderHeight = 0;
    COLORREF m_crButtonFace = 0;
    COLORREF m_crButtonShadow = 0;
    COLORREF m_crButtonHighlight = 0;
    COLORREF m_crWindowFrame = 0;
    COLORREF m_crWindowText = 0;
    COLORREF m_crWindow = 0;
    COLORREF m_crHighlight = 0;
    COLORREF m_crHighlightText = 0;
    HCURSOR m_hArrowCursor = nullptr;
    HCURSOR m_hResizeCursor1 = nullptr;
    HCURSOR m_hResizeCursor2 = nullptr;
    BOOL m_bNewShell = FALSE;
};

// The one instance of the program.
extern TkSysMetrics tkSysMetrics;

} // namespace vq

#include "toolkit/controls/TkSysMetrics.h"

namespace vq {

TkSysMetrics tkSysMetrics;

TkSysMetrics::TkSysMetrics() {
    m_bNewShell = (GetVersion() & 0xFF) >= 4;
    UpdateSysColors();
    m_hResizeCursor1 = nullptr;
    m_hResizeCursor2 = nullptr;
    m_hArrowCursor = LoadCursor(IDC_ARROW);
    m_nBorderWidth = m_bNewShell ? 2 : 1;
    m_nBorderHeight = m_nBorderWidth;
}

void TkSysMetrics::UpdateSysColors() {
    m_crButtonFace = GetSysColor(COLOR_BTNFACE);
    m_crButtonShadow = GetSysColor(COLOR_BTNSHADOW);
    m_crButtonHighlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    m_crWindowFrame = GetSysColor(COLOR_WINDOWFRAME);
    m_crWindowText = GetSysColor(COLOR_WINDOWTEXT);
    m_crWindow = GetSysColor(COLOR_WINDOW);
    m_crHighlight = GetSysColor(COLOR_HIGHLIGHT);
    m_crHighlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
}

} // namespace vq

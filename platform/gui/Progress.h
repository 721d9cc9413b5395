#pragma once

#include "platform/gui/ControlTypes.h"

namespace vq {

// The class name of the window system's progress controls.
inline constexpr const char* PROGRESS_CLASS = "msctls_progress32";

// Progress styles: one solid bar instead of blocks; a bar that grows upward.
inline constexpr DWORD PBS_SMOOTH = 0x01;
inline constexpr DWORD PBS_VERTICAL = 0x04;

struct PBRANGE {
    int iLow = 0;
    int iHigh = 0;
};

// PBM_SETRANGE takes the 16-bit bounds in lParam's words and answers the old ones the same way;
// PBM_SETRANGE32 takes them in wParam and lParam. Positions are clamped to the range: PBM_SETPOS
// and PBM_DELTAPOS answer the old position, PBM_SETSTEP the old step; PBM_STEPIT answers the old
// position and starts again from the lower bound when a step passes the upper one. PBM_GETRANGE
// answers the lower bound when wParam is nonzero, else the upper, and fills the PBRANGE that
// lParam points at.
inline constexpr UINT PBM_SETRANGE = WM_USER + 1;
inline constexpr UINT PBM_SETPOS = WM_USER + 2;
inline constexpr UINT PBM_DELTAPOS = WM_USER + 3;
inline constexpr UINT PBM_SETSTEP = WM_USER + 4;
inline constexpr UINT PBM_STEPIT = WM_USER + 5;
inline constexpr UINT PBM_SETRANGE32 = WM_USER + 6;
inline constexpr UINT PBM_GETRANGE = WM_USER + 7;
inline constexpr UINT PBM_GETPOS = WM_USER + 8;

// The "msctls_progress32" class, drawn by the window layer: a sunken edge around blocks of the
// highlight colour (one solid bar with PBS_SMOOTH) over the face colour, left to right or, with
// PBS_VERTICAL, bottom to top. As made the range is 0 to 100 and the step 10.
LRESULT ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace vq

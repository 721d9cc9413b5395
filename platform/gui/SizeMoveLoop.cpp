#include "platform/gui/SizeMoveLoop.h"

#include <algorithm>

namespace vq {

namespace {

// How far one arrow key moves the frame.
constexpr int kKeyStep = 8;

bool IsInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK);
}

class FrameTracker {
public:
    FrameTracker(HWND window, UINT command, LPARAM point)
        : window_(window), moving_((command & 0xFFF0) == SC_MOVE) {
        const UINT code = command & 0xF;
        if (code != 0) {
            anchor_ = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
            if (!moving_) edge_ = code;
        } else {
            GetCursorPos(&anchor_);
        }
        point_ = anchor_;
    }

    void Run() {
        if (!IsWindowVisible(window_) || edge_ > WMSZ_BOTTOMRIGHT) return;
        GetWindowRect(window_, &original_);
        SendMessage(window_, WM_ENTERSIZEMOVE, 0, 0);
        ReadLimits();
        SetCapture(window_);
        bool cancelled = false;
        bool ended = false;
        MSG msg;
        while (!ended && IsWindow(window_) && GetCapture() == window_) {
            if (!GetMessage(&msg, 0, 0, 0)) {
                // The quit message stays for the loop outside.
                PostQuitMessage(int(msg.wParam));
                break;
            }
            switch (msg.message) {
            case WM_MOUSEMOVE:
                if (msg.pt != point_) Track(msg.pt);
                break;
            case WM_LBUTTONDOWN:
            case WM_LBUTTONUP:
                if (msg.pt != point_) Track(msg.pt);
                ended = true;
                break;
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
                ended = msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE;
                cancelled = msg.wParam == VK_ESCAPE;
                if (!ended) OnArrow(int(msg.wParam));
                break;
            default:
                if (!IsInput(msg.message)) DispatchMessage(&msg);
                break;
            }
        }
        if (cancelled) Place(original_);
        if (GetCapture() == window_) ReleaseCapture();
        SendMessage(window_, WM_EXITSIZEMOVE, 0, 0);
    }

private:
    void ReadLimits() {
        const int frame = GetSystemMetrics(SM_CXFRAME);
        limits_.ptMaxSize = {GetSystemMetrics(SM_CXSCREEN) + 2 * frame,
                             GetSystemMetrics(SM_CYSCREEN) + 2 * frame};
        limits_.ptMaxPosition = {-frame, -frame};
        limits_.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
        limits_.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
        SendMessage(window_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits_));
        // A window asking for a largest size below its smallest gets its smallest.
        limits_.ptMinTrackSize.x = std::max(limits_.ptMinTrackSize.x, 0);
        limits_.ptMinTrackSize.y = std::max(limits_.ptMinTrackSize.y, 0);
        limits_.ptMaxTrackSize.x = std::max(limits_.ptMaxTrackSize.x, limits_.ptMinTrackSize.x);
        limits_.ptMaxTrackSize.y = std::max(limits_.ptMaxTrackSize.y, limits_.ptMinTrackSize.y);
    }

    void OnArrow(int key) {
        POINT step{};
        switch (key) {
        case VK_LEFT:
            step.x = -kKeyStep;
            break;
        case VK_RIGHT:
            step.x = kKeyStep;
            break;
        case VK_UP:
            step.y = -kKeyStep;
            break;
        case VK_DOWN:
            step.y = kKeyStep;
            break;
        default:
            return;
        }
        if (!moving_ && edge_ == 0) {
            // Sizing from the keyboard: the first arrow picks the edge and moves nothing.
            edge_ = step.x < 0 ? WMSZ_LEFT : step.x > 0 ? WMSZ_RIGHT : step.y < 0 ? WMSZ_TOP : WMSZ_BOTTOM;
            anchor_ = point_;
            return;
        }
        Track(POINT{point_.x + step.x, point_.y + step.y});
    }

    void Track(POINT point) {
        point_ = point;
        if (!moving_ && edge_ == 0) return;
        const int dx = point.x - anchor_.x;
        const int dy = point.y - anchor_.y;
        RECT r = original_;
        if (moving_) {
            r = OffsetRectBy(r, dx, dy);
            SendMessage(window_, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
        } else {
            SizeBy(r, dx, dy);
            SendMessage(window_, WM_SIZING, edge_, reinterpret_cast<LPARAM>(&r));
        }
        Place(r);
    }

    // Moves the edges the sizing edge names, the far edge staying put, within the tracking sizes.
    void SizeBy(RECT& r, int dx, int dy) const {
        const bool left = edge_ == WMSZ_LEFT || edge_ == WMSZ_TOPLEFT || edge_ == WMSZ_BOTTOMLEFT;
        const bool right = edge_ == WMSZ_RIGHT || edge_ == WMSZ_TOPRIGHT || edge_ == WMSZ_BOTTOMRIGHT;
        const bool top = edge_ == WMSZ_TOP || edge_ == WMSZ_TOPLEFT || edge_ == WMSZ_TOPRIGHT;
        const bool bottom = edge_ == WMSZ_BOTTOM || edge_ == WMSZ_BOTTOMLEFT || edge_ == WMSZ_BOTTOMRIGHT;
        const POINT least = limits_.ptMinTrackSize;
        const POINT most = limits_.ptMaxTrackSize;
        if (left) r.left = r.right - std::clamp(r.right - (r.left + dx), least.x, most.x);
        if (right) r.right = r.left + std::clamp(r.right + dx - r.left, least.x, most.x);
        if (top) r.top = r.bottom - std::clamp(r.bottom - (r.top + dy), least.y, most.y);
        if (bottom) r.bottom = r.top + std::clamp(r.bottom + dy - r.top, least.y, most.y);
    }

    // Puts the window at the screen rectangle; a child's place is in its parent's client area.
    void Place(const RECT& r) {
        RECT current;
        if (!GetWindowRect(window_, &current) || current == r) return;
        POINT origin{};
        if (IsChildStyle(DWORD(GetWindowLongPtr(window_, GWL_STYLE))))
            ClientToScreen(GetParent(window_), &origin);
        SetWindowPos(window_, 0, r.left - origin.x, r.top - origin.y, r.Width(), r.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }

    HWND window_;
    bool moving_;
    UINT edge_ = 0;
    POINT anchor_;
    POINT point_;
    RECT original_;
    MINMAXINFO limits_;
};

} // namespace

void RunSizeMoveLoop(HWND window, UINT command, LPARAM point) {
    FrameTracker(window, command, point).Run();
}

} // namespace vq

#pragma once

#include "platform/gui/Bitmap.h"
#include "platform/gui/ImageList.h"

#include <optional>

namespace vq {

// The image that follows the pointer during a drag (the ImageList_*Drag* calls). It is drawn with
// the layer's own drawing into the retained image of the window it was entered in, with what was
// under it kept aside and put back whenever it moves or hides. Before anything else draws into
// that window it is taken away, and it comes back once the last context of the window is
// released: what the window draws meanwhile is never covered by stale pixels. One drag at a time
// per thread, like the windows it is drawn over.
class DragImage {
public:
    static DragImage& OfThread();

    DragImage() = default;
    ~DragImage();
    DragImage(const DragImage&) = delete;
    DragImage& operator=(const DragImage&) = delete;

    bool Begin(HIMAGELIST list, int index, POINT hotSpot);
    bool Enter(HWND window, POINT position);
    bool Move(POINT position);
    bool Show(bool show);
    bool Leave();
    void End();

    // A context of the window opens or its last one closes.
    void WindowDrawingBegins(HWND window);
    void WindowDrawingEnds(HWND window);

private:
    // Where the image would go, in window coordinates.
    RECT Placement() const;
    bool ShouldShow() const;
    // Draws or takes away the image so that it shows exactly when it should, where it should.
    void Update();
    void Draw();
    void Erase();

    HIMAGELIST image_ = nullptr;
    POINT hotSpot_;
    HWND window_ = 0;
    POINT position_;
    bool visible_ = false;
    // Where it was drawn and what was there before; empty while it is not drawn.
    RECT drawnAt_;
    std::optional<Bitmap> under_;
};

} // namespace vq

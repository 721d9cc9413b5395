#include "platform/gui/DragImage.h"

#include "platform/gui/SelectedBitmap.h"
#include "platform/gui/WindowRecord.h"

namespace vq {

namespace {

// A one-image list of its own, so the caller may change or destroy its list during the drag.
HIMAGELIST CopyImage(HIMAGELIST list, int index) {
    int width = 0;
    int height = 0;
    if (index < 0 || index >= ImageList_GetImageCount(list) || !ImageList_GetIconSize(list, &width, &height))
        return nullptr;
    HBITMAP colour = CreateBitmap(width, height, 1, 32, nullptr);
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    {
        // Over black the stored image comes back as it is, transparent pixels black; an image
        // without a mask leaves its mask all opaque.
        SelectedBitmap colourDc(colour);
        SelectedBitmap maskDc(mask);
        ImageList_DrawEx(list, index, colourDc.Dc(), 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
        ImageList_Draw(list, index, maskDc.Dc(), 0, 0, ILD_MASK);
    }
    HIMAGELIST copy = ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 1, 0);
    ImageList_Add(copy, colour, mask);
    DeleteObject(colour);
    DeleteObject(mask);
    return copy;
}

} // namespace

DragImage& DragImage::OfThread() {
    thread_local DragImage drag;
    return drag;
}

DragImage::~DragImage() {
    if (image_) ImageList_Destroy(image_);
}

bool DragImage::Begin(HIMAGELIST list, int index, POINT hotSpot) {
    HIMAGELIST copy = CopyImage(list, index);
    if (!copy) return false;
    End();
    image_ = copy;
    hotSpot_ = hotSpot;
    return true;
}

bool DragImage::Enter(HWND window, POINT position) {
    if (!image_ || !FindWindowRecord(window)) return false;
    if (window != window_) Erase();
    window_ = window;
    position_ = position;
    visible_ = true;
    Update();
    return true;
}

bool DragImage::Move(POINT position) {
    if (!image_) return false;
    position_ = position;
    Update();
    return true;
}

bool DragImage::Show(bool show) {
    if (!image_) return false;
    visible_ = show;
    Update();
    return true;
}

bool DragImage::Leave() {
    if (!image_) return false;
    Erase();
    window_ = 0;
    visible_ = false;
    return true;
}

void DragImage::End() {
    Erase();
    if (image_) ImageList_Destroy(image_);
    image_ = nullptr;
    window_ = 0;
    visible_ = false;
}

void DragImage::WindowDrawingBegins(HWND window) {
    if (window == window_) Erase();
}

void DragImage::WindowDrawingEnds(HWND window) {
    if (window == window_) Update();
}

RECT DragImage::Placement() const {
    int width = 0;
    int height = 0;
    ImageList_GetIconSize(image_, &width, &height);
    const POINT at{position_.x - hotSpot_.x, position_.y - hotSpot_.y};
    return {at.x, at.y, at.x + width, at.y + height};
}

bool DragImage::ShouldShow() const {
    if (!image_ || !visible_) return false;
    const WindowRecord* r = FindWindowRecord(window_);
    return r && r->openContexts == 0;
}

void DragImage::Update() {
    const bool show = ShouldShow();
    if (under_ && (!show || drawnAt_ != Placement())) Erase();
    if (show && !under_) Draw();
}

void DragImage::Draw() {
    WindowRecord* r = FindWindowRecord(window_);
    Bitmap& image = r->image;
    const RECT at = Placement();
    under_.emplace(at.Width(), at.Height(), false);
    for (std::int32_t y = at.top; y < at.bottom; ++y)
        for (std::int32_t x = at.left; x < at.right; ++x)
            if (image.Contains(x, y)) under_->SetPixel(x - at.left, y - at.top, image.Pixel(x, y));
    drawnAt_ = at;
    // A context of no window, so drawing the image does not count as the window's own drawing.
    DeviceContext dc(DeviceContext::Kind::Window, &image, POINT{},
                     Region(RECT{0, 0, image.Width(), image.Height()}), 0);
    ImageList_Draw(image_, 0, &dc, at.left, at.top, ILD_NORMAL);
    ShowRetainedImage(*r);
}

void DragImage::Erase() {
    if (!under_) return;
    // The window may have gone or changed its size meanwhile: what still fits goes back.
    if (WindowRecord* r = FindWindowRecord(window_)) {
        Bitmap& image = r->image;
        for (std::int32_t y = drawnAt_.top; y < drawnAt_.bottom; ++y)
            for (std::int32_t x = drawnAt_.left; x < drawnAt_.right; ++x)
                if (image.Contains(x, y))
                    image.SetPixel(x, y, under_->Pixel(x - drawnAt_.left, y - drawnAt_.top));
        ShowRetainedImage(*r);
    }
    under_.reset();
}

BOOL ImageList_BeginDrag(HIMAGELIST list, int index, int xHotSpot, int yHotSpot) {
    return DragImage::OfThread().Begin(list, index, POINT{xHotSpot, yHotSpot});
}

BOOL ImageList_DragEnter(HWND window, int x, int y) {
    return DragImage::OfThread().Enter(window, POINT{x, y});
}

BOOL ImageList_DragMove(int x, int y) {
    return DragImage::OfThread().Move(POINT{x, y});
}

BOOL ImageList_DragShowNolock(BOOL show) {
    return DragImage::OfThread().Show(show != FALSE);
}

BOOL ImageList_DragLeave(HWND window) {
    // The image leaves whichever window it was entered in.
    (void)window;
    return DragImage::OfThread().Leave();
}

void ImageList_EndDrag() {
    DragImage::OfThread().End();
}

} // namespace vq

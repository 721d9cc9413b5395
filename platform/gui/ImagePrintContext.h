#pragma once

#include "platform/gui/Gdi.h"

namespace vq {

// A printing context that draws into an image of a page of any size and resolution, white at the
// start. Printer output and print tests stand on it.
class ImagePrintContext {
public:
    ImagePrintContext(std::int32_t width, std::int32_t height, int dpi);
    ~ImagePrintContext();
    ImagePrintContext(const ImagePrintContext&) = delete;
    ImagePrintContext& operator=(const ImagePrintContext&) = delete;

    HDC Dc() const { return m_dc; }
    HBITMAP Page() const { return m_page; }

private:
    HDC m_dc;
    HBITMAP m_page;
    HGDIOBJ m_old;
};

} // namespace vq

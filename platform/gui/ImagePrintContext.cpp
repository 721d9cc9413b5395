#include "platform/gui/ImagePrintContext.h"

namespace vq {

ImagePrintContext::ImagePrintContext(std::int32_t width, std::int32_t height, int dpi)
    : m_dc(CreateCompatibleDC(nullptr)), m_page(CreateBitmap(width, height, 1, 32, nullptr)) {
    m_old = SelectObject(m_dc, m_page);
    m_dc->SetResolution({dpi, dpi});
    SetPrinting(m_dc, TRUE);
    const RECT page{0, 0, width, height};
    FillRect(m_dc, &page, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

ImagePrintContext::~ImagePrintContext() {
    SelectObject(m_dc, m_old);
    DeleteObject(m_page);
    DeleteDC(m_dc);
}

} // namespace vq

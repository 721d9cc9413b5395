#include "platform/classlib/ImageList.h"

namespace vq {

BOOL CImageList::Create(int width, int height, UINT flags, int initial, int grow) {
    return Attach(ImageList_Create(width, height, flags, initial, grow));
}

BOOL CImageList::Attach(HIMAGELIST list) {
    if (!list || m_hImageList) return FALSE;
    m_hImageList = list;
    return TRUE;
}

HIMAGELIST CImageList::Detach() {
    HIMAGELIST list = m_hImageList;
    m_hImageList = nullptr;
    return list;
}

BOOL CImageList::DeleteImageList() {
    if (!m_hImageList) return FALSE;
    return ImageList_Destroy(Detach());
}

int CImageList::Add(HBITMAP image, HBITMAP mask) {
    return m_hImageList ? ImageList_Add(m_hImageList, image, mask) : -1;
}

int CImageList::Add(HBITMAP image, COLORREF maskColour) {
    return m_hImageList ? ImageList_AddMasked(m_hImageList, image, maskColour) : -1;
}

BOOL CImageList::Draw(HDC dc, int image, POINT at, UINT style) const {
    return m_hImageList ? ImageList_Draw(m_hImageList, image, dc, at.x, at.y, style) : FALSE;
}

int CImageList::GetImageCount() const {
    return m_hImageList ? ImageList_GetImageCount(m_hImageList) : 0;
}

} // namespace vq

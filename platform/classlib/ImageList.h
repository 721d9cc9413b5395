#pragma once

#include "platform/gui/ImageList.h"

namespace vq {

// An object over one of the window layer's image lists. It owns the list it made or was given
// through Attach until Detach hands it back or DeleteImageList destroys it.
class CImageList {
public:
    HIMAGELIST m_hImageList = nullptr;

    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    BOOL Create(int width, int height, UINT flags, int initial, int grow);
    BOOL Attach(HIMAGELIST list);
    HIMAGELIST Detach();
    BOOL DeleteImageList();
    int Add(HBITMAP image, HBITMAP mask);
    int Add(HBITMAP image, COLORREF maskColour);
    BOOL Draw(HDC dc, int image, POINT at, UINT style) const;
    int GetImageCount() const;
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
};

} // namespace vq

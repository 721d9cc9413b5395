// Drag images of tree items: the icon with the label beside it, and the selected rows together.
#include "platform/gui/Gdi.h"
#include "toolkit/lists/TkTreeBaseC.h"

#include <algorithm>

namespace vq {

namespace {

constexpr UINT LabelFormat = DT_NOPREFIX | DT_EXPANDTABS;
constexpr std::int32_t LabelGap = 6;

std::unique_ptr<CImageList> Adopt(HIMAGELIST list) {
    auto owned = std::make_unique<CImageList>();
    if (!list || !owned->Attach(list)) return nullptr;
    return owned;
}

} // namespace

HBITMAP TkTreeBaseC::RenderLabelBitmap(HDC dc, const char* text, SIZE* size) {
    RECT calc{0, 0, 0, 0};
    DrawText(dc, text, -1, &calc, DT_CALCRECT | LabelFormat);
    *size = SIZE{std::max<std::int32_t>(calc.Width(), 1), std::max<std::int32_t>(calc.Height(), 1)};
    HBITMAP bitmap = CreateCompatibleBitmap(dc, size->cx, size->cy);
    if (!bitmap) return nullptr;
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT all{0, 0, size->cx, size->cy};
    HBRUSH background = CreateSolidBrush(GetBkColor());
    FillRect(dc, &all, background);
    DeleteObject(background);
    SetBkMode(dc, TRANSPARENT);
    ::vq::SetTextColor(dc, GetTextColor());
    RECT at = all;
    DrawText(dc, text, -1, &at, LabelFormat);
    SelectObject(dc, old);
    return bitmap;
}

std::unique_ptr<CImageList> TkTreeBaseC::CreateLabelImage(HDC dc, const char* text) {
    SIZE size{};
    HBITMAP bitmap = RenderLabelBitmap(dc, text, &size);
    if (!bitmap) return nullptr;
    auto list = std::make_unique<CImageList>();
    const bool made = list->Create(size.cx, size.cy, ILC_MASK | ILC_COLOR32, 1, 0) &&
                      list->Add(bitmap, HBITMAP(nullptr)) >= 0;
    DeleteObject(bitmap);
    return made ? std::move(list) : nullptr;
}

std::unique_ptr<CImageList> TkTreeBaseC::CreateIconImage(HDC, int image) {
    const CImageList* images = GetImageList(TVSIL_NORMAL);
    if (!images || image < 0 || image >= images->GetImageCount()) return nullptr;
    return Adopt(ImageList_Merge(images->GetSafeHandle(), image, images->GetSafeHandle(), image, 0, 0));
}

std::unique_ptr<CImageList> TkTreeBaseC::MergeDragImages(const CImageList& icon, const CImageList& label) {
    int width = 0, height = 0;
    ImageList_GetIconSize(icon.GetSafeHandle(), &width, &height);
    return Adopt(ImageList_Merge(icon.GetSafeHandle(), 0, label.GetSafeHandle(), 0, width + LabelGap, 0));
}

std::unique_ptr<CImageList> TkTreeBaseC::CreateDragImage(HTREEITEM item) {
    TreeItemNode* node = Resolve(item);
    if (!GetImageList(TVSIL_NORMAL) || !node || node == root_.get() || !m_hWnd) return nullptr;
    TVITEM record;
    record.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE;
    record.hItem = node;
    textBuffer_[0] = '\0';
    record.pszText = textBuffer_.data();
    record.cchTextMax = TextBufferSize;
    if (GetItem(&record, TRUE, TRUE) != TRUE) return nullptr;
    const std::string text = record.pszText && record.pszText != LPSTR_TEXTCALLBACKA ? record.pszText : "";
    HDC windowDc = GetDC(m_hWnd);
    HDC dc = CreateCompatibleDC(windowDc);
    ReleaseDC(m_hWnd, windowDc);
    if (!dc) return nullptr;
    auto context = NewPaintContext(dc);
    context->item.iItem = RowOfNode(node);
    context->item.iSubItem = 0;
    static_cast<TkTreePaintContext*>(context.get())->node = node;
    static_cast<TkTreePaintContext*>(context.get())->treeItem = node->item;
    PrepareFont(context.get());
    HGDIOBJ oldFont = SelectObject(dc, context->font);
    std::unique_ptr<CImageList> label = CreateLabelImage(dc, text.c_str());
    std::unique_ptr<CImageList> icon = CreateIconImage(dc, record.iImage);
    SelectObject(dc, oldFont);
    DeleteDC(dc);
    if (!label || !icon) return nullptr;
    return MergeDragImages(*icon, *label);
}

std::unique_ptr<CImageList> TkTreeBaseC::CreateSelectionDragImage(POINT* topLeft) {
    std::vector<std::int32_t> rows;
    for (std::int32_t row = TkListBaseC::GetNextItem(-1, LVNI_SELECTED); row >= 0;
         row = TkListBaseC::GetNextItem(row, LVNI_SELECTED))
        rows.push_back(row);
    if (rows.empty()) return nullptr;
    RECT all{};
    std::vector<RECT> places;
    for (std::int32_t row : rows) {
        RECT bounds{};
        if (!TkListBaseC::GetItemRect(row, &bounds, LVIR_BOUNDS)) return nullptr;
        places.push_back(bounds);
        all = places.size() == 1
                  ? bounds
                  : RECT{std::min(all.left, bounds.left), std::min(all.top, bounds.top),
                         std::max(all.right, bounds.right), std::max(all.bottom, bounds.bottom)};
    }
    if (topLeft) *topLeft = POINT{all.left, all.top};
    if (rows.size() == 1) return CreateDragImage(NodeOfRow(rows[0]));
    HDC windowDc = GetDC(m_hWnd);
    HDC dc = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, all.Width(), all.Height());
    ReleaseDC(m_hWnd, windowDc);
    if (!dc || !bitmap) {
        if (dc) DeleteDC(dc);
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT whole{0, 0, all.Width(), all.Height()};
    HBRUSH background = CreateSolidBrush(GetBkColor());
    FillRect(dc, &whole, background);
    DeleteObject(background);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        TreeItemNode* node = NodeOfRow(rows[k]);
        std::unique_ptr<CImageList> image = CreateDragImage(node);
        if (!image) continue;
        const std::int32_t x = places[k].left - all.left + (node->GetDepth() - 1) * indent_;
        image->Draw(dc, 0, POINT{x, places[k].top - all.top}, ILD_TRANSPARENT);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    auto list = std::make_unique<CImageList>();
    const bool made = list->Create(all.Width(), all.Height(), ILC_MASK | ILC_COLOR32, 1, 0) &&
                      list->Add(bitmap, GetBkColor()) >= 0;
    DeleteObject(bitmap);
    return made ? std::move(list) : nullptr;
}

} // namespace vq

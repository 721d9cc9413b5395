#include "toolkit/frames/TkBmpMgr.h"

#include "platform/gui/Gdi.h"
#include "platform/res/Resources.h"
#include "toolkit/controls/LoadBitmapWithSysColors.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TkBmpMgr, Object)

TkBmpMgr::TkBmpMgr() {
    m_items.reserve(17);
}

TkBmpMgr::~TkBmpMgr() {
    for (auto& set : m_sets) {
        DeleteOwned(set->m_hNormal, set->m_bNormalGiven);
        DeleteOwned(set->m_hLarge, set->m_bLargeGiven);
    }
}

void TkBmpMgr::ReleaseReference() {
    if (--m_nRefs == 0) delete this;
}

void TkBmpMgr::DeleteOwned(HBITMAP& bitmap, BOOL given) {
    if (given) return;
    if (bitmap) DeleteObject(bitmap);
    bitmap = nullptr;
}

BOOL TkBmpMgr::ReadToolBarData(std::span<const unsigned char> data, std::vector<std::uint32_t>& ids,
                               std::int32_t& width, std::int32_t& height, BOOL keepZeros) {
    auto word = [&](std::size_t i) { return std::uint32_t(data[2 * i] | data[2 * i + 1] << 8); };
    if (data.size() < 8) return FALSE;
    const std::uint32_t count = word(3);
    if (data.size() < 8 + 2 * std::size_t(count)) return FALSE;
    width = std::int32_t(word(1));
    height = std::int32_t(word(2));
    ids.clear();
    for (std::uint32_t i = 0; i < count; ++i)
        if (const std::uint32_t id = word(4 + i); id || keepZeros) ids.push_back(id);
    return TRUE;
}

BOOL TkBmpMgr::ReadToolBarResource(std::uint32_t resource, std::vector<std::uint32_t>& ids,
                                   std::int32_t& width, std::int32_t& height, BOOL keepZeros) {
    return ReadToolBarData(FindResource(RT_TOOLBAR, resource), ids, width, height, keepZeros);
}

BOOL TkBmpMgr::ReadToolBarItems(std::uint32_t resource, std::vector<std::uint32_t>& items) {
    std::int32_t width = 0, height = 0;
    return ReadToolBarResource(resource, items, width, height, TRUE);
}

BOOL TkBmpMgr::ReadToolBarAndBitmap(std::uint32_t resource, HBITMAP& bitmap, std::vector<std::uint32_t>& ids,
                                    std::int32_t& width, std::int32_t& height,
                                    std::vector<std::uint32_t>* allItems) {
    if (!ReadToolBarResource(resource, ids, width, height, FALSE)) return FALSE;
    if (allItems && !ReadToolBarItems(resource, *allItems)) return FALSE;
    const auto dib = FindResource(RT_BITMAP, resource);
    return LoadBitmapWithSysColors(bitmap, dib.data(), dib.size());
}

BOOL TkBmpMgr::AddImages(std::uint32_t normalToolBar, std::uint32_t largeToolBar, BOOL sysColors) {
    std::vector<std::uint32_t> ids;
    std::int32_t width = 0, height = 0;
    if (!ReadToolBarResource(normalToolBar, ids, width, height, FALSE)) return FALSE;
    // Only the first set defines the sizes, so that every strip is cut the same way.
    if (m_sets.empty()) SetImageSize(width, height);
    if (largeToolBar && m_sets.empty()) {
        std::vector<std::uint32_t> largeIds;
        if (!ReadToolBarResource(largeToolBar, largeIds, width, height, FALSE)) return FALSE;
        SetLargeImageSize(width, height);
    }
    return AddImageSet(normalToolBar, largeToolBar, ids.data(), std::int32_t(ids.size()), sysColors);
}

BOOL TkBmpMgr::AddImageSet(std::uint32_t normalBitmap, std::uint32_t largeBitmap, const std::uint32_t* ids,
                           std::int32_t count, BOOL sysColors) {
    auto set = std::make_unique<BmpInfo>();
    set->m_nNormalRes = normalBitmap;
    set->m_nLargeRes = largeBitmap;
    set->m_bSysColors = sysColors;
    set->m_nCount = count;
    BmpInfo& added = *set;
    RegisterImageSet(std::move(set), ids, count);
    return PrepareBitmaps(added, TRUE);
}

BOOL TkBmpMgr::AddImageBitmaps(HBITMAP normal, HBITMAP large, const std::uint32_t* ids, std::int32_t count) {
    auto set = std::make_unique<BmpInfo>();
    set->m_hNormal = normal;
    set->m_hLarge = large;
    set->m_bNormalGiven = normal != nullptr;
    set->m_bLargeGiven = large != nullptr;
    set->m_bSysColors = FALSE;
    set->m_nCount = count;
    BmpInfo& added = *set;
    RegisterImageSet(std::move(set), ids, count);
    return PrepareBitmaps(added, TRUE);
}

void TkBmpMgr::RegisterImageSet(std::unique_ptr<BmpInfo> set, const std::uint32_t* ids, std::int32_t count) {
    const std::int32_t index = std::int32_t(m_sets.size());
    m_sets.push_back(std::move(set));
    for (std::int32_t i = 0; i < count; ++i)
        m_items.try_emplace(ids[i], BmpItem{index, i});
}

BOOL TkBmpMgr::GetImage(std::uint32_t id, HBITMAP& bitmap, std::int32_t& index, BOOL forceNormal) const {
    const auto it = m_items.find(id);
    if (it == m_items.end()) return FALSE;
    const BmpInfo& set = *m_sets[std::size_t(it->second.m_nSet)];
    bitmap = (forceNormal || m_bSmallImages) ? set.m_hNormal : set.m_hLarge;
    index = it->second.m_nImage;
    return TRUE;
}

BOOL TkBmpMgr::RefreshAll(BOOL reload) {
    for (auto& set : m_sets)
        PrepareBitmaps(*set, reload);
    return TRUE;
}

void TkBmpMgr::SetSmallImages(BOOL on) {
    if (bool(on) == bool(m_bSmallImages)) return;
    m_bSmallImages = on;
    RefreshAll(TRUE);
}

void TkBmpMgr::SetKeepBothBitmaps(BOOL on) {
    if (bool(on) == bool(m_bBothLoaded)) return;
    m_bBothLoaded = on;
    RefreshAll(FALSE);
}

BOOL TkBmpMgr::PrepareBitmaps(BmpInfo& set, BOOL reload) {
    if (!set.m_bNormalGiven && (m_bSmallImages || m_bBothLoaded)) {
        if (m_bSmallImages && !m_bBothLoaded) DeleteOwned(set.m_hLarge, set.m_bLargeGiven);
        if (reload) DeleteOwned(set.m_hNormal, FALSE);
        if (!set.m_hNormal && !LoadNormalBitmap(set)) return FALSE;
    }
    if (set.m_bLargeGiven || m_bSmallImages) return TRUE;
    if (!m_bBothLoaded) DeleteOwned(set.m_hNormal, set.m_bNormalGiven);
    if (reload) DeleteOwned(set.m_hLarge, FALSE);
    if (set.m_hLarge) return TRUE;
    return MakeLargeBitmap(set);
}

BOOL TkBmpMgr::LoadBitmapResource(std::uint32_t resource, BOOL sysColors, HBITMAP& bitmap) const {
    const auto dib = FindResource(RT_BITMAP, resource);
    if (dib.empty()) return FALSE;
    if (sysColors) return LoadBitmapWithSysColors(bitmap, dib.data(), dib.size());
    bitmap = CreateBitmapFromPackedDib(dib.data(), dib.size());
    return bitmap != nullptr;
}

BOOL TkBmpMgr::LoadNormalBitmap(BmpInfo& set) {
    if (set.m_bNormalGiven) return TRUE;
    return LoadBitmapResource(set.m_nNormalRes, set.m_bSysColors, set.m_hNormal);
}

BOOL TkBmpMgr::MakeLargeBitmap(BmpInfo& set) {
    if (set.m_bLargeGiven) return TRUE;
    if (set.m_nLargeRes) return LoadBitmapResource(set.m_nLargeRes, set.m_bSysColors, set.m_hLarge);
    const bool loadedForNow = !set.m_hNormal;
    if (loadedForNow && !LoadNormalBitmap(set)) return FALSE;
    BOOL made = FALSE;
    HDC source = CreateCompatibleDC(nullptr);
    HDC target = CreateCompatibleDC(nullptr);
    if (source && target) {
        HDC screen = GetDC(0);
        set.m_hLarge = CreateCompatibleBitmap(screen, m_szLarge.cx * std::max(set.m_nCount, 1), m_szLarge.cy);
        ReleaseDC(0, screen);
        if (set.m_hLarge) {
            HGDIOBJ oldSource = SelectObject(source, set.m_hNormal);
            HGDIOBJ oldTarget = SelectObject(target, set.m_hLarge);
            SetStretchBltMode(target, COLORONCOLOR);
            for (std::int32_t i = 0; i < set.m_nCount; ++i)
                StretchBlt(target, i * m_szLarge.cx, 0, m_szLarge.cx, m_szLarge.cy, source, i * m_szNormal.cx,
                           0, m_szNormal.cx, m_szNormal.cy, SRCCOPY);
            SelectObject(source, oldSource);
            SelectObject(target, oldTarget);
            made = TRUE;
        }
    }
    if (source) DeleteDC(source);
    if (target) DeleteDC(target);
    if (loadedForNow) DeleteOwned(set.m_hNormal, set.m_bNormalGiven);
    return made;
}

} // namespace vq

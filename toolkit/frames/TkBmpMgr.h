#pragma once

#include "platform/core/RuntimeClass.h"
#include "platform/gui/WindowSystem.h"

#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

namespace vq {

// The image store of the tool bars: image strips (one bitmap per set, images side by side), the
// strip and position of every command's image, and a large variant of each strip, from a second
// resource or stretched from the normal images. Shared by reference count; GUI thread only.
class TkBmpMgr : public Object {
    VQ_DECLARE_RUNTIME_CLASS(TkBmpMgr)
public:
    struct BmpInfo {
        std::uint32_t m_nNormalRes = 0;
        std::uint32_t m_nLargeRes = 0;
        HBITMAP m_hNormal = nullptr;
        HBITMAP m_hLarge = nullptr;
        std::int32_t m_nCount = 0;
        BOOL m_bSysColors = TRUE;
        BOOL m_bNormalGiven = FALSE;
        BOOL m_bLargeGiven = FALSE;
    };
    struct BmpItem {
        std::int32_t m_nSet = 0;
        std::int32_t m_nImage = 0;
    };

    TkBmpMgr();
    ~TkBmpMgr() override;
    TkBmpMgr(const TkBmpMgr&) = delete;
    TkBmpMgr& operator=(const TkBmpMgr&) = delete;

    virtual BOOL PrepareBitmaps(BmpInfo& set, BOOL reload);
    virtual BOOL LoadNormalBitmap(BmpInfo& set);
    virtual BOOL MakeLargeBitmap(BmpInfo& set);

    void AddReference() { ++m_nRefs; }
    // The store deletes itself with its last reference.
    void ReleaseReference();

    BOOL AddImages(std::uint32_t normalToolBar, std::uint32_t largeToolBar, BOOL sysColors);
    BOOL AddImageSet(std::uint32_t normalBitmap, std::uint32_t largeBitmap, const std::uint32_t* ids,
                     std::int32_t count, BOOL sysColors);
    // The bitmaps stay the caller's.
    BOOL AddImageBitmaps(HBITMAP normal, HBITMAP large, const std::uint32_t* ids, std::int32_t count);
    // Leaves both out values alone for a command without image.
    BOOL GetImage(std::uint32_t id, HBITMAP& bitmap, std::int32_t& index, BOOL forceNormal) const;
    BOOL RefreshAll(BOOL reload);
    void SetSmallImages(BOOL on);
    void SetKeepBothBitmaps(BOOL on);
    void SetImageSize(std::int32_t width, std::int32_t height) { m_szNormal = {width, height}; }
    void SetLargeImageSize(std::int32_t width, std::int32_t height) { m_szLarge = {width, height}; }
    void RegisterImageSet(std::unique_ptr<BmpInfo> set, const std::uint32_t* ids, std::int32_t count);

    BOOL GetSmallImages() const { return m_bSmallImages; }
    BOOL GetKeepBothBitmaps() const { return m_bBothLoaded; }
    SIZE GetNormalImageSize() const { return m_szNormal; }
    SIZE GetLargeImageSize() const { return m_szLarge; }
    // The size the bars draw with now.
    SIZE GetImageSize() const { return m_bSmallImages ? m_szNormal : m_szLarge; }
    std::int32_t GetReferenceCount() const { return m_nRefs; }
    const std::vector<std::unique_ptr<BmpInfo>>& GetImageSets() const { return m_sets; }

    // A tool bar resource: version, image width and height, item count and that many command ids,
    // 16-bit each. FALSE when it is missing or shorter than its header or its ids claim.
    static BOOL ReadToolBarResource(std::uint32_t resource, std::vector<std::uint32_t>& ids,
                                    std::int32_t& width, std::int32_t& height, BOOL keepZeros);
    static BOOL ReadToolBarData(std::span<const unsigned char> data, std::vector<std::uint32_t>& ids,
                                std::int32_t& width, std::int32_t& height, BOOL keepZeros);
    static BOOL ReadToolBarItems(std::uint32_t resource, std::vector<std::uint32_t>& items);
    // The ids (zeros dropped), all items when asked, and the bitmap resource of the same id loaded
    // with system colours; FALSE when either is missing.
    static BOOL ReadToolBarAndBitmap(std::uint32_t resource, HBITMAP& bitmap, std::vector<std::uint32_t>& ids,
                                     std::int32_t& width, std::int32_t& height,
                                     std::vector<std::uint32_t>* allItems);

private:
    std::unordered_map<std::uint32_t, BmpItem> m_items;
    std::vector<std::unique_ptr<BmpInfo>> m_sets;
    std::int32_t m_nRefs = 1;
    SIZE m_szNormal{16, 15};
    SIZE m_szLarge{22, 24};
    BOOL m_bSmallImages = TRUE;
    BOOL m_bBothLoaded = FALSE;

    BOOL LoadBitmapResource(std::uint32_t resource, BOOL sysColors, HBITMAP& bitmap) const;
    static void DeleteOwned(HBITMAP& bitmap, BOOL given);
};

} // namespace vq

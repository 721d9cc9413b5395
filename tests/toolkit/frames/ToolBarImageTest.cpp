#include "platform/gui/Gdi.h"
#include "platform/gui/Menu.h"
#include "platform/res/MenuFlags.h"
#include "toolbars.h"
#include "toolkit/controls/TkSysMetrics.h"
#include "toolkit/frames/TkBmpMgr.h"
#include "toolkit/frames/TkMenuTemplate.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vq::test {
namespace {

// The store deletes itself with its last reference; the tests hold the first one.
struct Store {
    TkBmpMgr* mgr = new TkBmpMgr;
    ~Store() {
        if (mgr) mgr->ReleaseReference();
    }
};

COLORREF PixelOf(HBITMAP bitmap, std::int32_t x, std::int32_t y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

SIZE SizeOf(HBITMAP bitmap) {
    BITMAP info{};
    GetObject(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

TEST(ToolBarImages, TheFirstSetSizesTheImagesAndKeepsItsCommands) {
    Store store;
    ASSERT_TRUE(store.mgr->AddImages(IDR_MAINBAR, 0, TRUE));
    ASSERT_TRUE(store.mgr->AddImages(IDR_SECONDBAR, 0, TRUE));
    EXPECT_EQ(store.mgr->GetNormalImageSize(), (SIZE{16, 15}));
    EXPECT_EQ(store.mgr->GetLargeImageSize(), (SIZE{22, 24}));

    struct Case {
        UINT id;
        std::size_t set;
        std::int32_t index;
        COLORREF ink;
    };
    // Blue is in both strips: the first one's image wins. Separators take no image.
    for (const Case& c : {Case{ID_TB_BLACK, 0, 0, RGB(0, 0, 0)}, Case{ID_TB_BLUE, 0, 1, RGB(0, 0, 255)},
                          Case{ID_TB_LINE, 0, 3, RGB(0, 0, 0)}, Case{ID_TB_GREEN, 1, 1, RGB(0, 160, 0)}}) {
        HBITMAP bitmap = nullptr;
        std::int32_t index = -1;
        ASSERT_TRUE(store.mgr->GetImage(c.id, bitmap, index, FALSE)) << c.id;
        EXPECT_EQ(bitmap, store.mgr->GetImageSets()[c.set]->m_hNormal) << c.id;
        EXPECT_EQ(index, c.index) << c.id;
        const SIZE image = c.set == 0 ? SIZE{16, 15} : SIZE{20, 18};
        EXPECT_EQ(PixelOf(bitmap, c.index * image.cx + 6, 5), c.ink) << c.id;
    }
    // The grey tones come out in the system colours: light grey is the face.
    HBITMAP bitmap = nullptr;
    std::int32_t index = 0;
    store.mgr->GetImage(ID_TB_BLACK, bitmap, index, FALSE);
    EXPECT_EQ(PixelOf(bitmap, 0, 0), tkSysMetrics.m_crButtonFace);
    // A command without image leaves both out values alone.
    HBITMAP untouched = reinterpret_cast<HBITMAP>(std::uintptr_t(1));
    std::int32_t kept = 77;
    EXPECT_FALSE(store.mgr->GetImage(0, untouched, kept, FALSE));
    EXPECT_EQ(untouched, reinterpret_cast<HBITMAP>(std::uintptr_t(1)));
    EXPECT_EQ(kept, 77);
    // A tool bar whose bitmap is missing stays registered without bitmap.
    EXPECT_FALSE(store.mgr->AddImages(IDR_MISSINGBITMAP, 0, TRUE));
    EXPECT_EQ(store.mgr->GetImageSets().size(), 3u);
    EXPECT_FALSE(store.mgr->AddImages(9999, 0, TRUE));
}

TEST(ToolBarImages, LargeImagesAreStretchedAndSwitchingBackReloads) {
    Store store;
    ASSERT_TRUE(store.mgr->AddImages(IDR_MAINBAR, 0, TRUE));
    const TkBmpMgr::BmpInfo& set = *store.mgr->GetImageSets()[0];
    ASSERT_NE(set.m_hNormal, nullptr);
    EXPECT_EQ(set.m_hLarge, nullptr);

    store.mgr->SetSmallImages(FALSE);
    EXPECT_EQ(store.mgr->GetImageSize(), (SIZE{22, 24}));
    ASSERT_NE(set.m_hLarge, nullptr);
    EXPECT_EQ(set.m_hNormal, nullptr) << "one mode's bitmaps at a time";
    EXPECT_EQ(SizeOf(set.m_hLarge), (SIZE{4 * 22, 24}));
    // The black square of image 0 (5..10, 4..9 of 16 x 15) covers 6.9..15.1, 6.4..16 of 22 x 24.
    struct Sample {
        std::int32_t x, y;
        COLORREF colour;
    };
    for (const Sample& s :
         {Sample{8, 7, RGB(0, 0, 0)}, Sample{14, 15, RGB(0, 0, 0)}, Sample{5, 5, tkSysMetrics.m_crButtonFace},
          Sample{17, 18, tkSysMetrics.m_crButtonFace}, Sample{22 + 10, 10, RGB(0, 0, 255)}})
        EXPECT_EQ(PixelOf(set.m_hLarge, s.x, s.y), s.colour) << s.x << "," << s.y;

    store.mgr->SetSmallImages(TRUE);
    EXPECT_NE(set.m_hNormal, nullptr);
    EXPECT_EQ(set.m_hLarge, nullptr);

    // Both kept: each mode change leaves both strips loaded.
    store.mgr->SetKeepBothBitmaps(TRUE);
    for (BOOL small : {FALSE, TRUE, FALSE}) {
        store.mgr->SetSmallImages(small);
        EXPECT_NE(set.m_hNormal, nullptr);
        EXPECT_NE(set.m_hLarge, nullptr);
    }
}

TEST(ToolBarImages, BitmapsOfTheCallerOutliveTheStore) {
    HDC screen = GetDC(0);
    HBITMAP normal = CreateCompatibleBitmap(screen, 32, 15);
    HBITMAP large = CreateCompatibleBitmap(screen, 44, 24);
    ReleaseDC(0, screen);
    const std::uint32_t ids[] = {7, 8};
    auto* mgr = new TkBmpMgr;
    mgr->AddReference();
    ASSERT_TRUE(mgr->AddImageBitmaps(normal, large, ids, 2));
    mgr->SetSmallImages(FALSE);
    mgr->SetSmallImages(TRUE);
    mgr->ReleaseReference();
    EXPECT_EQ(mgr->GetReferenceCount(), 1);
    mgr->ReleaseReference();
    EXPECT_EQ(SizeOf(normal), (SIZE{32, 15}));
    EXPECT_EQ(SizeOf(large), (SIZE{44, 24}));
    DeleteObject(normal);
    DeleteObject(large);
}

TEST(ToolBarImages, ToolBarRecordsShorterThanTheyClaimAreRefused) {
    struct Case {
        std::vector<unsigned char> bytes;
        bool ok;
    };
    const std::vector<Case> cases{
        {{1, 0, 16, 0, 15, 0, 2, 0, 7, 0, 0, 0}, true},
        {{1, 0, 16, 0, 15, 0, 3, 0, 7, 0, 0, 0}, false},
        {{1, 0, 16, 0, 15, 0, 2, 0, 7}, false},
        {{1, 0, 16, 0, 15, 0}, false},
        {{}, false},
    };
    for (const Case& c : cases) {
        // Each record in its own allocation, so that a read past its end is caught.
        std::vector<unsigned char> exact(c.bytes);
        std::vector<std::uint32_t> ids{99};
        std::int32_t width = 0, height = 0;
        EXPECT_EQ(TkBmpMgr::ReadToolBarData(exact, ids, width, height, TRUE) != FALSE, c.ok)
            << c.bytes.size();
        if (c.ok) {
            EXPECT_EQ(ids, (std::vector<std::uint32_t>{7, 0}));
            EXPECT_EQ(width, 16);
            EXPECT_EQ(height, 15);
        }
    }
    std::vector<std::uint32_t> items;
    ASSERT_TRUE(TkBmpMgr::ReadToolBarItems(IDR_MAINBAR, items));
    EXPECT_EQ(items, (std::vector<std::uint32_t>{ID_TB_BLACK, ID_TB_BLUE, 0, ID_TB_GREY, ID_TB_LINE}));
}

// A menu template written by hand: flags, a non-popup item's id, UTF-16 text.
class MenuTemplateTest : public ::testing::Test {
protected:
    std::vector<unsigned char> bytes;

    void Word(std::uint16_t w) {
        bytes.push_back(std::uint8_t(w & 0xFF));
        bytes.push_back(std::uint8_t(w >> 8));
    }
    void Text(const std::string& text) {
        for (char c : text)
            Word(std::uint16_t(static_cast<unsigned char>(c)));
        Word(0);
    }
    void Item(std::uint16_t flags, std::uint16_t id, const std::string& text) {
        Word(flags);
        Word(id);
        Text(text);
    }
    void Popup(std::uint16_t flags, const std::string& text) {
        Word(flags | MF_POPUP);
        Text(text);
    }

    // "&File" (Open, separator, Recent > One, Exit), "Help".
    void SetUp() override {
        Popup(0, "&File");
        Item(0, 100, "Open");
        Item(0, 0, "");
        Popup(0, "Recent");
        Item(MF_END, 101, "One");
        Item(MF_END, 102, "Exit");
        Item(MF_END, 200, "Help");
    }
};

TEST_F(MenuTemplateTest, NestedPopupsAndSeparatorsBecomeMenus) {
    TemplateReader cursor(bytes);
    HMENU menu = MenuFromTemplate(cursor);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(cursor.Position(), bytes.size());
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_EQ(GetMenuItemID(menu, 1), 200u);
    HMENU file = GetSubMenu(menu, 0);
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(GetMenuItemCount(file), 4);
    EXPECT_EQ(GetMenuItemID(file, 0), 100u);
    EXPECT_TRUE(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR);
    HMENU recent = GetSubMenu(file, 2);
    ASSERT_NE(recent, nullptr);
    EXPECT_EQ(GetMenuItemID(recent, 0), 101u);
    EXPECT_EQ(GetMenuItemID(file, 3), 102u);
    DestroyMenu(menu);

    TemplateReader start(bytes);
    EXPECT_EQ(GetMenuItemText(start), "&File");
    TemplateReader walk(bytes);
    ASSERT_TRUE(SkipMenuItems(walk, 1));
    EXPECT_EQ(GetMenuItemText(walk), "Help");
    TemplateReader past(bytes);
    EXPECT_FALSE(SkipMenuItems(past, 3)) << "the level ends after two items";
}

TEST_F(MenuTemplateTest, ATemplateCutShortGivesNoMenu) {
    for (std::size_t cut : {std::size_t(0), std::size_t(3), bytes.size() / 2, bytes.size() - 2}) {
        const std::vector<unsigned char> shorter(bytes.begin(), bytes.begin() + std::ptrdiff_t(cut));
        TemplateReader cursor(shorter);
        EXPECT_EQ(MenuFromTemplate(cursor), nullptr) << cut;
        TemplateReader skip(shorter);
        EXPECT_FALSE(SkipMenuItems(skip, 2)) << cut;
    }
}

} // namespace
} // namespace vq::test

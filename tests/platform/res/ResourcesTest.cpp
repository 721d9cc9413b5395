#include "platform/res/Resources.h"

#include "TemplateReader.h"
#include "fixture.h"

#include <gtest/gtest.h>
#include <tuple>

namespace vq {
namespace {

using test::TemplateReader;

const unsigned char kWiget[] = {'1', ' ', '0', ' ', '0'};
const unsigned char kPicture[] = {1, 2, 3};
const ResourceEntry kNamed[] = {
    {0, 0, kWiget, sizeof kWiget, "CROSS", "WIGETS"},
    {RT_BITMAP, 0, kPicture, sizeof kPicture, "SKY", ""},
};
const ResourceRegistration kNamedRegistration(kNamed);

TEST(Resources, NamedResourcesAreFoundByNameAndTypeNameInAnyCase) {
    EXPECT_EQ(FindResource("wigets", "Cross").size(), sizeof kWiget);
    EXPECT_EQ(FindResource("WIGETS", "CROSS").data(), kWiget);
    EXPECT_TRUE(FindResource("POLYGON", "CROSS").empty());
    EXPECT_EQ(FindResource(RT_BITMAP, "sky").data(), kPicture);
    EXPECT_TRUE(FindResource("", "SKY").empty());
    EXPECT_TRUE(FindResource(RT_BITMAP, 0).empty()) << "a named resource has no id";
}

TEST(Resources, StringsComeBackByteForByte) {
    struct Case {
        std::uint32_t id;
        std::string text;
    };
    const Case cases[] = {
        {IDS_BLANKS, "  edge blanks  "},
        {IDS_ESCAPES, "line\nnext\ttab \\ back \"quoted\""},
        {IDS_EMPTY, ""},
        {IDS_DEGREE, "20 \xC2\xB0"
                     "C"},
        {IDR_DOCUMENT, "Document\nVorquel"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        char buffer[64];
        EXPECT_EQ(LoadString(c.id, buffer, sizeof buffer), int(c.text.size()));
        EXPECT_EQ(std::string(buffer), c.text);
    }
}

TEST(Resources, ShortBufferGetsTheCutTextAndItsTerminator) {
    char buffer[6] = {'x', 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(LoadString(IDS_BLANKS, buffer, 6), 5);
    EXPECT_EQ(std::string(buffer), "  edg");
    EXPECT_EQ(LoadString(IDS_BLANKS, buffer, 1), 0);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(LoadString(9999, buffer, 6), 0);
    EXPECT_EQ(LoadString(IDS_BLANKS, nullptr, 6), 0);
}

TEST(Resources, MenuWalksBackEveryItem) {
    auto bytes = FindResource(RT_MENU, IDR_DOCUMENT);
    ASSERT_FALSE(bytes.empty());
    TemplateReader r(bytes);
    EXPECT_EQ(r.Word(), 0);
    EXPECT_EQ(r.Word(), 0);
    using Item = std::tuple<int, std::uint16_t, std::uint16_t, std::string>;
    std::vector<Item> items;
    // Depth-first, as the menu users walk it: a popup's items follow it up to the one marked last.
    auto walk = [&](auto&& self, int depth) -> void {
        while (true) {
            const std::uint16_t flags = r.Word();
            const std::uint16_t id = (flags & MF_POPUP) ? 0 : r.Word();
            items.emplace_back(depth, flags, id, r.Text());
            if (flags & MF_POPUP) self(self, depth + 1);
            if (flags & MF_END) return;
        }
    };
    walk(walk, 0);
    EXPECT_TRUE(r.AtEnd());
    const std::vector<Item> expected{
        {0, MF_POPUP, 0, "&File"},
        {1, 0, ID_FILE_OPEN, "&Open...\tCtrl+O"},
        {1, 0, 0, ""},
        {1, MF_POPUP, 0, "Recent"},
        {2, MF_CHECKED, ID_RECENT_FIRST, "First"},
        {2, MF_GRAYED | MF_END, ID_RECENT_SECOND, "Second"},
        {1, MF_END, ID_APP_EXIT, "E&xit"},
        {0, MF_HELP | MF_END, ID_HELP_INDEX, "&Help"},
    };
    EXPECT_EQ(items, expected);
}

TEST(Resources, DialogWalksBackEveryControl) {
    auto bytes = FindResource(RT_DIALOG, IDD_SETTINGS);
    ASSERT_FALSE(bytes.empty());
    TemplateReader r(bytes);
    EXPECT_EQ(r.Word(), 1);
    EXPECT_EQ(r.Word(), 0xFFFF);
    EXPECT_EQ(r.Dword(), 0u);
    EXPECT_EQ(r.Dword(), 0u);
    EXPECT_EQ(r.Dword(), 0x80C800C0u) << "modal frame, popup, caption, system menu, font";
    EXPECT_EQ(r.Word(), 5);
    for (int expected : {10, 20, 200, 120})
        EXPECT_EQ(r.Word(), expected);
    EXPECT_EQ(r.Word(), 0) << "menu";
    EXPECT_EQ(r.Word(), 0) << "class";
    EXPECT_EQ(r.Text(), "Settings \xC2\xB0");
    EXPECT_EQ(r.Word(), 8);
    EXPECT_EQ(r.Word(), 400);
    EXPECT_EQ(r.Byte(), 0);
    EXPECT_EQ(r.Byte(), 1);
    EXPECT_EQ(r.Text(), "MS Sans Serif");

    struct Control {
        std::uint32_t style;
        std::uint32_t exStyle;
        std::int16_t x, y, cx, cy;
        std::uint32_t id;
        std::uint16_t ordinal;
        std::string text;
        bool operator==(const Control&) const = default;
    };
    std::vector<Control> controls;
    for (int i = 0; i < 5; ++i) {
        r.Align4();
        Control c;
        EXPECT_EQ(r.Dword(), 0u) << "help id";
        c.exStyle = r.Dword();
        c.style = r.Dword();
        c.x = std::int16_t(r.Word());
        c.y = std::int16_t(r.Word());
        c.cx = std::int16_t(r.Word());
        c.cy = std::int16_t(r.Word());
        c.id = r.Dword();
        EXPECT_EQ(r.Word(), 0xFFFF);
        c.ordinal = r.Word();
        c.text = r.Text();
        EXPECT_EQ(r.Word(), 0) << "no creation data";
        controls.push_back(c);
    }
    EXPECT_TRUE(r.AtEnd());
    const std::vector<Control> expected{
        {0x50020000, 0, 7, 9, 40, 8, 0xFFFFFFFF, 0x82, "&Name:"},
        {0x50810080, 0, 50, 7, 140, 14, IDC_NAME, 0x81, ""},
        {0x50010003, 0, 7, 30, 80, 10, IDC_ENABLED, 0x80, "&Enabled"},
        {0x50A00001, 0, 7, 45, 186, 50, IDC_LIST, 0x83, ""},
        {0x50010001, 0, 143, 99, 50, 14, 1, 0x80, "OK"},
    };
    EXPECT_EQ(controls, expected);
}

} // namespace
} // namespace vq

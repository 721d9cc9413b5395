#include "platform/res/ResourceCompiler.h"

#include "platform/res/Resources.h"
#include "tests/support/TestPaths.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/wait.h>

namespace vq {
namespace {

std::string ErrorOf(const std::string& script) {
    try {
        ResourceCompiler().CompileText(script, "broken.rc", ".");
    } catch (const ResourceScriptError& e) {
        return e.what();
    }
    return "";
}

TEST(ResourceCompiler, IdsArePerTypeAndDuplicatesNameFileAndLine) {
    EXPECT_EQ(ErrorOf("STRINGTABLE\nBEGIN\n 5 \"a\"\nEND\n5 MENU\nBEGIN\n MENUITEM \"x\", 1\nEND\n"), "");
    EXPECT_EQ(ErrorOf("STRINGTABLE\nBEGIN\n 5 \"a\"\n 6 \"b\"\n 5 \"c\"\nEND\n"),
              "broken.rc:5: duplicate id 5 (first at line 3)");
    EXPECT_EQ(ErrorOf("1 MENU\nBEGIN\n MENUITEM \"x\", 1\nEND\n1 MENU\nBEGIN\n MENUITEM \"y\", 2\nEND\n"),
              "broken.rc:5: duplicate id 1 (first at line 1)");
}

TEST(ResourceCompiler, NamedResourcesKeepTheFileUnderTheirName) {
    const std::filesystem::path folder = vq::test::TestPath("VQ_TEST_DATA_DIR") + "/res";
    const auto resources =
        ResourceCompiler().CompileText("#define IDB_KNOWN 7\nCross WIGETS \"tiny.bmp\"\n\"two words\" BITMAP "
                                       "\"tiny.bmp\"\nIDB_KNOWN BITMAP \"tiny.bmp\"\n",
                                       "named.rc", folder);
    ASSERT_EQ(resources.size(), 3u);
    std::ifstream file(folder / "tiny.bmp", std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    EXPECT_EQ(resources[0].name, "CROSS");
    EXPECT_EQ(resources[0].typeName, "WIGETS");
    EXPECT_EQ(resources[0].bytes, bytes);
    EXPECT_EQ(resources[1].name, "TWO WORDS");
    EXPECT_EQ(resources[1].type, RT_BITMAP);
    EXPECT_EQ(resources[1].typeName, "");
    EXPECT_EQ(resources[2].name, "");
    EXPECT_EQ(resources[2].id, 7u);
    EXPECT_EQ(ErrorOf("A B \"x\"\n"), "broken.rc:1: cannot read x");
}

TEST(ResourceCompiler, MalformedScriptsFailWithTheirLine) {
    struct Case {
        const char* script;
        const char* error;
    };
    const Case cases[] = {
        {"STRINGTABLE\nBEGIN\n 1 \"open\nEND\n", "broken.rc:3: string not closed"},
        {"STRINGTABLE\nBEGIN\n UNDEFINED \"x\"\nEND\n", "broken.rc:3: unknown name UNDEFINED"},
        {"1 MENU\nBEGIN\n", "broken.rc:3: END of menu expected"},
        {"1 MENU\nBEGIN\nEND\n", "broken.rc:3: empty menu"},
        {"1 RCDATA \"x\"\n", "broken.rc:1: resource type RCDATA not supported"},
        {"70000 MENU\nBEGIN\n MENUITEM \"x\", 1\nEND\n", "broken.rc:1: id 70000 out of range"},
        {"1 BITMAP \"missing.bmp\"\n", "broken.rc:1: cannot read missing.bmp"},
        {"#define A B\n#define B A\nSTRINGTABLE\nBEGIN\n A \"x\"\nEND\n", "broken.rc:5: unknown name A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_EQ(ErrorOf(c.script), c.error);
    }
}

TEST(ResourceCompiler, ToolStopsTheBuildAndLeavesNoOutput) {
    const auto folder = std::filesystem::temp_directory_path() / ("vq_rc_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto script = folder / "bad.rc";
    const auto output = folder / "bad.cpp";
    std::ofstream(script) << "STRINGTABLE\nBEGIN\n 7 \"a\"\n 7 \"b\"\nEND\n";
    const std::string command =
        vq::test::TestPath("VQ_RC_TOOL") + " " + script.string() + " " + output.string() + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string printed;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe))
        printed += buffer;
    const int status = ::pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0);
    EXPECT_EQ(printed, script.string() + ":4: duplicate id 7 (first at line 3)\n");
    EXPECT_FALSE(std::filesystem::exists(output));
    std::filesystem::remove_all(folder);
}

TEST(ResourceCompiler, AcceleratorsAndStylesWithNot) {
    const auto resources = ResourceCompiler().CompileText(
        "1 ACCELERATORS\nBEGIN\n \"^C\", 10\n 0x70, 11, VIRTKEY, SHIFT\nEND\n"
        "2 DIALOGEX 0, 0, 10, 10\nBEGIN\n EDITTEXT 5, 0, 0, 10, 10, NOT WS_TABSTOP\nEND\n",
        "ok.rc", ".");
    ASSERT_EQ(resources.size(), 2u);
    const std::vector<std::uint8_t> accelerators{0, 0,    3, 0,  10, 0, 0, 0, FVIRTKEY | FSHIFT | 0x80,
                                                 0, 0x70, 0, 11, 0,  0, 0};
    EXPECT_EQ(resources[0].bytes, accelerators);
    const auto& dialog = resources[1].bytes;
    // The only control's style: after the dialog header (26 bytes), no menu, no class, an empty
    // caption (32 bytes, aligned), the control's help id and extended style.
    const std::size_t at = 32 + 8;
    const std::uint32_t style =
        dialog[at] | dialog[at + 1] << 8 | dialog[at + 2] << 16 | std::uint32_t(dialog[at + 3]) << 24;
    EXPECT_EQ(style, 0x50800000u) << "child, visible, border, no tab stop";
}

TEST(ResourceCompiler, ToolBarsListTheirButtonsWithSeparatorsAsZero) {
    const auto resources = ResourceCompiler().CompileText(
        "5 TOOLBAR 16, 15\nBEGIN\n BUTTON 100\n SEPARATOR\n BUTTON 0x101\nEND\n", "ok.rc", ".");
    ASSERT_EQ(resources.size(), 1u);
    EXPECT_EQ(resources[0].type, RT_TOOLBAR);
    const std::vector<std::uint8_t> expected{1, 0, 16, 0, 15, 0, 3, 0, 100, 0, 0, 0, 1, 1};
    EXPECT_EQ(resources[0].bytes, expected);
    EXPECT_THROW(ResourceCompiler().CompileText("5 TOOLBAR 16, 15\nBEGIN\n BUTTON 0\nEND\n", "bad.rc", "."),
                 ResourceScriptError);
}

TEST(ResourceCompiler, AComboBoxsKindReplacesTheSimpleOne) {
    struct Case {
        const char* styles;
        std::uint32_t style;
    };
    const Case cases[] = {
        {"", 0x50010001},
        {", CBS_DROPDOWN | CBS_SORT", 0x50010102},
        {", CBS_DROPDOWNLIST | WS_VSCROLL", 0x50210003},
        {", NOT WS_TABSTOP | CBS_DROPDOWN", 0x50000002},
        {", CBS_AUTOHSCROLL", 0x50010041},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.styles);
        const auto resources = ResourceCompiler().CompileText(
            std::string("1 DIALOGEX 0, 0, 10, 10\nBEGIN\n COMBOBOX 5, 0, 0, 10, 40") + c.styles + "\nEND\n",
            "ok.rc", ".");
        ASSERT_EQ(resources.size(), 1u);
        const auto& dialog = resources[0].bytes;
        const std::size_t at = 32 + 8;
        EXPECT_EQ(dialog[at] | dialog[at + 1] << 8 | dialog[at + 2] << 16 |
                      std::uint32_t(dialog[at + 3]) << 24,
                  c.style);
    }
}

} // namespace
} // namespace vq

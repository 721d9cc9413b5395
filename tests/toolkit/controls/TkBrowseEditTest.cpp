#include "platform/classlib/DialogTemplate.h"
#include "platform/gui/CommonDialogs.h"
#include "platform/gui/DialogManager.h"
#include "platform/gui/OffscreenHarness.h"
#include "tests/support/TestPaths.h"
#include "toolkit/controls/TkBrowseDirEdit.h"
#include "toolkit/controls/TkBrowseFileEdit.h"
#include "toolkit/controls/TkDirSelectDlg.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

namespace vq::test {
namespace {

// Answers the pickers from the test and keeps what they were asked.
class ScriptedPickers : public CommonDialogProvider {
public:
    std::optional<std::string> file, folder;
    std::vector<FileRequest> fileRequests;
    std::vector<std::string> folderStarts;

    std::optional<std::string> PickFile(HWND, const FileRequest& request) override {
        fileRequests.push_back(request);
        return file;
    }
    std::optional<COLORREF> PickColour(HWND, ColourRequest&) override { return std::nullopt; }
    std::optional<std::string> PickFolder(HWND, const std::string&, const std::string& start) override {
        folderStarts.push_back(start);
        return folder;
    }
};

class TkBrowseEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = SetCommonDialogProvider(&pickers);
        ASSERT_TRUE(owner.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 320, 160}, nullptr, 0));
        DialogTemplate t;
        t.style = WS_CHILD | WS_VISIBLE;
        t.rect = RECT{0, 0, 320, 160};
        t.items = {{"edit", "", 101, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, RECT{10, 10, 210, 32}},
                   {"edit", "", 102, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, RECT{10, 50, 210, 72}},
                   {"button", "OK", 1, WS_CHILD | WS_VISIBLE | WS_TABSTOP, RECT{10, 100, 80, 124}}};
        ASSERT_TRUE(dialog.CreateDlgIndirect(t, &owner));
        ASSERT_TRUE(fileEdit.Initialize(101, &dialog));
        ASSERT_TRUE(dirEdit.Initialize(102, &dialog));
        OffscreenHarness::RunUntilIdle();
        workFolder = std::filesystem::current_path();
    }
    void TearDown() override {
        dialog.DestroyWindow();
        owner.DestroyWindow();
        OffscreenHarness::RunUntilIdle();
        SetCommonDialogProvider(previous);
    }
    static RECT InDialog(HWND window, HWND dialogWindow) {
        RECT r;
        GetWindowRect(window, &r);
        POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
        MapWindowPoints(0, dialogWindow, corners, 2);
        return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    }
    static void ClickButton(const TkBrowseEditBase& edit) {
        RECT r;
        GetWindowRect(edit.GetBrowseButton()->m_hWnd, &r);
        const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        OffscreenHarness::MousePress(centre);
        OffscreenHarness::MouseRelease(centre);
        OffscreenHarness::RunUntilIdle();
    }
    // A folder under the build's output whose path is longer than 300 characters.
    static std::filesystem::path LongFolder() {
        std::filesystem::path folder = TestPath("VQ_TEST_OUTPUT_DIR");
        folder /= "browse-edit";
        while (folder.string().size() <= 300)
            folder /= std::string(40, 'd');
        std::filesystem::create_directories(folder);
        return folder;
    }

    ScriptedPickers pickers;
    CommonDialogProvider* previous = nullptr;
    CWnd owner;
    CWnd dialog;
    TkBrowseFileEdit fileEdit;
    TkBrowseDirEdit dirEdit;
    std::filesystem::path workFolder;
};

TEST_F(TkBrowseEditTest, EachEditGivesItsRightEndToAButtonThatFollowsItInTabOrder) {
    for (const TkBrowseEditBase* edit :
         {static_cast<TkBrowseEditBase*>(&fileEdit), static_cast<TkBrowseEditBase*>(&dirEdit)}) {
        const RECT field = InDialog(edit->m_hWnd, dialog.m_hWnd);
        ASSERT_NE(edit->GetBrowseButton(), nullptr);
        const HWND button = edit->GetBrowseButton()->m_hWnd;
        const RECT place = InDialog(button, dialog.m_hWnd);
        EXPECT_EQ(field.Width(), 200 - 26);
        EXPECT_EQ(place.left, 210 - 25);
        EXPECT_EQ(place.right, 210);
        EXPECT_EQ(place.top, field.top);
        EXPECT_EQ(place.bottom, field.bottom);
        EXPECT_EQ(GetNextDlgTabItem(dialog.m_hWnd, edit->m_hWnd, FALSE), button);
        EXPECT_EQ(edit->GetBrowseButton()->GetWindowText(), "...");
    }
    EXPECT_EQ(GetDlgCtrlID(fileEdit.GetBrowseButton()->m_hWnd), 32767);
    EXPECT_EQ(GetDlgCtrlID(dirEdit.GetBrowseButton()->m_hWnd), 32766);
    EXPECT_TRUE(
        OffscreenHarness::SaveScreenshot(owner.m_hWnd, TestPath("VQ_TEST_OUTPUT_DIR") + "/browse-edits.png"));

    const HWND button = dirEdit.GetBrowseButton()->m_hWnd;
    EnableWindow(dirEdit.m_hWnd, FALSE);
    EXPECT_FALSE(IsWindowEnabled(button));
    EnableWindow(dirEdit.m_hWnd, TRUE);
    EXPECT_TRUE(IsWindowEnabled(button));
    ShowWindow(dirEdit.m_hWnd, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(button));
    ShowWindow(dirEdit.m_hWnd, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(button));

    // The buttons go with the dialog's windows; the edits no longer know of them.
    dialog.DestroyWindow();
    EXPECT_FALSE(IsWindow(button));
    EXPECT_EQ(dirEdit.GetBrowseButton(), nullptr);
    EXPECT_EQ(fileEdit.GetBrowseButton(), nullptr);
}

TEST_F(TkBrowseEditTest, AFileEditStartsInItsFolderAndKeepsLongPathsWhole) {
    const std::filesystem::path folder = LongFolder();
    fileEdit.SetWindowText(folder.string().c_str());
    const std::string chosen = (folder / "monitor.db").string();
    pickers.file = chosen;
    ClickButton(fileEdit);
    ASSERT_EQ(pickers.fileRequests.size(), 1u);
    EXPECT_EQ(pickers.fileRequests[0].folder, folder.string());
    EXPECT_EQ(pickers.fileRequests[0].fileName, "");
    EXPECT_EQ(pickers.fileRequests[0].title, "Select File");
    EXPECT_EQ(fileEdit.GetWindowText(), chosen);
    EXPECT_GT(chosen.size(), 300u);
    EXPECT_EQ(std::filesystem::current_path(), workFolder);

    pickers.file.reset();
    ClickButton(fileEdit);
    EXPECT_EQ(pickers.fileRequests.size(), 2u);
    EXPECT_EQ(fileEdit.GetWindowText(), chosen);
    EXPECT_EQ(std::filesystem::current_path(), workFolder);
}

TEST_F(TkBrowseEditTest, ADirectoryEditWithAMissingFolderOpensThePickerWithoutAStart) {
    dirEdit.SetWindowText("/no/such/folder/here");
    const std::filesystem::path folder = LongFolder();
    pickers.folder = folder.string();
    ClickButton(dirEdit);
    ASSERT_EQ(pickers.folderStarts.size(), 1u);
    EXPECT_EQ(pickers.folderStarts[0], "");
    EXPECT_EQ(dirEdit.GetWindowText(), folder.string() + "/");

    // An existing folder, with or without its trailing "/", is where the picker starts.
    pickers.folder.reset();
    ClickButton(dirEdit);
    ASSERT_EQ(pickers.folderStarts.size(), 2u);
    EXPECT_EQ(pickers.folderStarts[1], folder.string() + "/");
    EXPECT_EQ(dirEdit.GetWindowText(), folder.string() + "/");
}

TEST_F(TkBrowseEditTest, TheDirectoryTestKnowsTheRootAndOneTrailingSlash) {
    EXPECT_TRUE(TkBrowseDirEdit::IsDirectory("/"));
    EXPECT_TRUE(TkBrowseDirEdit::IsDirectory(workFolder.string() + "/"));
    EXPECT_FALSE(TkBrowseDirEdit::IsDirectory(""));
    EXPECT_FALSE(TkBrowseDirEdit::IsDirectory("/no/such/folder"));
}

TEST_F(TkBrowseEditTest, TheShellModeRefusesAMissingStartWithoutAsking) {
    pickers.folder = "/tmp";
    TkDirSelectDlg shell(0, "Select Directory", "/no/such/folder", &dialog);
    EXPECT_EQ(shell.DoModal(), IDCANCEL);
    EXPECT_TRUE(pickers.folderStarts.empty());

    TkDirSelectDlg fileMode("Select Directory", &dialog, "/no/such/folder");
    EXPECT_EQ(fileMode.DoModal(), IDOK);
    ASSERT_EQ(pickers.folderStarts.size(), 1u);
    EXPECT_EQ(pickers.folderStarts[0], workFolder.string());
    std::string path;
    fileMode.GetPath(path);
    EXPECT_EQ(path, "/tmp/");
}

TEST_F(TkBrowseEditTest, TheDefaultFolderPickerOpensAndItsFolderComesBack) {
    SetCommonDialogProvider(nullptr);
    const std::filesystem::path folder = LongFolder();
    bool shown = false;
    // The picker runs its own loop; once it is up, the user goes to the folder and presses OK.
    QTimer::singleShot(0, [&] {
        auto* picker = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!picker) return;
        shown = true;
        picker->setDirectory(QString::fromStdString(folder.string()));
        QMetaObject::invokeMethod(picker, "accept");
    });
    dirEdit.SetWindowText("");
    dirEdit.OnBrowse();
    EXPECT_TRUE(shown);
    EXPECT_EQ(dirEdit.GetWindowText(), folder.string() + "/");
}

} // namespace
} // namespace vq::test

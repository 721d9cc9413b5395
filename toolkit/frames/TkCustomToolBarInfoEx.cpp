#include "toolkit/frames/TkCustomToolBarInfoEx.h"

#include "platform/classlib/WinApp.h"
#include "platform/core/Archive.h"
#include "platform/core/Exceptions.h"
#include "toolkit/frames/TkPTNFactory.h"
#include "toolkit/frames/TkPersistentTreeNode.h"

namespace vq {

namespace {

constexpr const char* kTreeNodeName = "ToolBarInfoEx";
constexpr const char* kTitleKey = "Title";
constexpr const char* kButtonsKey = "Buttons";
// Command id and data length of one record.
constexpr std::size_t kRecordHeader = 5;

} // namespace

VQ_IMPLEMENT_DYNCREATE(TkCustomToolBarInfoEx, TkControlBarInfoEx)

void TkCustomToolBarInfoEx::ParseButtonData(const std::uint8_t* bytes, std::size_t length,
                                            TkBtnInfoArray& buttons) {
    std::size_t at = 0;
    while (bytes && length - at >= kRecordHeader) {
        const std::size_t n = bytes[at + 4];
        if (length - at - kRecordHeader < n) break;
        auto button = std::make_unique<TkBtnInfo>();
        button->m_nID = std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 |
                        std::uint32_t(bytes[at + 2]) << 16 | std::uint32_t(bytes[at + 3]) << 24;
        button->m_data.assign(bytes + at + kRecordHeader, bytes + at + kRecordHeader + n);
        buttons.push_back(std::move(button));
        at += kRecordHeader + n;
    }
}

std::vector<std::uint8_t> TkCustomToolBarInfoEx::BuildButtonData(const TkBtnInfoArray& buttons) {
    std::vector<std::uint8_t> bytes;
    for (const auto& button : buttons) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(std::uint8_t(button->m_nID >> shift));
        // Capture never records more; a longer block could not be read back whole.
        const std::size_t n = button->m_data.size() <= kMaxDataLength ? button->m_data.size() : 0;
        bytes.push_back(std::uint8_t(n));
        bytes.insert(bytes.end(), button->m_data.begin(), button->m_data.begin() + std::ptrdiff_t(n));
    }
    return bytes;
}

void TkCustomToolBarInfoEx::Store(ArchiveWriter& archive, TkDockState*) {
    archive.WriteText(m_strTitle);
    archive.WriteUInt32(u32(m_arrButtons.size()));
    // The archive's records after the count are the byte form itself.
    archive.WriteBytes(BuildButtonData(m_arrButtons));
}

void TkCustomToolBarInfoEx::Load(ArchiveReader& archive, TkDockState*) {
    std::string title = archive.ReadText();
    const std::uint32_t count = archive.ReadUInt32();
    // Every record takes at least its header, so a count the stream cannot hold is refused before
    // anything is made for it.
    if (count > archive.Remaining() / kRecordHeader)
        throw ArchiveException(ArchiveException::Cause::BadFormat, "tool bar button count");
    TkBtnInfoArray buttons;
    buttons.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        auto button = std::make_unique<TkBtnInfo>();
        button->m_nID = archive.ReadUInt32();
        const std::size_t n = archive.ReadBytes(1)[0];
        const std::span<const u8> data = archive.ReadBytes(n);
        button->m_data.assign(data.begin(), data.end());
        buttons.push_back(std::move(button));
    }
    m_strTitle = std::move(title);
    m_arrButtons = std::move(buttons);
}

BOOL TkCustomToolBarInfoEx::LoadStateFromTree(TkPersistentTreeNode* node) {
    TkPersistentTreeNode* child = node ? node->FindChild(kTreeNodeName) : nullptr;
    if (!child) return FALSE;
    child->GetValue(kTitleKey, m_strTitle, "");
    m_arrButtons.clear();
    std::unique_ptr<u8[]> bytes;
    u32 count = 0;
    if (child->GetBinaryValue(kButtonsKey, &bytes, &count) == 0) ParseButtonData(bytes.get(), count, m_arrButtons);
    return TRUE;
}

BOOL TkCustomToolBarInfoEx::SaveStateToTree(TkPTNFactory* factory, TkPersistentTreeNode* parent) {
    if (!parent || !factory) return FALSE;
    TkPersistentTreeNode* child = factory->CreateNode(kTreeNodeName, parent);
    if (!child) return FALSE;
    child->SetValue(kTitleKey, m_strTitle, true);
    // A bar without buttons has no byte form to write: the node then holds no "Buttons".
    const std::vector<std::uint8_t> bytes = BuildButtonData(m_arrButtons);
    if (!bytes.empty()) child->SetBinaryValue(kButtonsKey, bytes.data(), u32(bytes.size()), true);
    return TRUE;
}

BOOL TkCustomToolBarInfoEx::LoadStateFromProfile(const char* section, TkDockState*) {
    CWinApp* app = AfxGetApp();
    if (!app || !section) return FALSE;
    m_strTitle = app->GetProfileString(section, kTitleKey, "");
    m_arrButtons.clear();
    std::vector<std::uint8_t> bytes;
    if (app->GetProfileBinary(section, kButtonsKey, bytes)) ParseButtonData(bytes.data(), bytes.size(), m_arrButtons);
    return TRUE;
}

BOOL TkCustomToolBarInfoEx::SaveStateToProfile(const char* section) {
    CWinApp* app = AfxGetApp();
    if (!app || !section) return FALSE;
    if (!m_strTitle.empty()) app->WriteProfileString(section, kTitleKey, m_strTitle.c_str());
    const std::vector<std::uint8_t> bytes = BuildButtonData(m_arrButtons);
    app->WriteProfileBinary(section, kButtonsKey, bytes.data(), UINT(bytes.size()));
    return TRUE;
}

} // namespace vq

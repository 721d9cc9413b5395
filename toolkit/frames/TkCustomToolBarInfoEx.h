#pragma once

#include "toolkit/frames/TkControlBar.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vq {

// One saved button: its command (0 for a separator) and the button's own save data.
struct TkBtnInfo {
    virtual ~TkBtnInfo() = default;

    std::uint32_t m_nID = 0;
    std::vector<std::uint8_t> m_data;
};

using TkBtnInfoArray = std::vector<std::unique_ptr<TkBtnInfo>>;

// What the record of a custom tool bar keeps beyond the docking layout: the bar's title and its
// buttons in display order. The buttons travel as records of a 4-byte little-endian command id, a
// 1-byte data length and the data, one after another.
class TkCustomToolBarInfoEx : public TkControlBarInfoEx {
    VQ_DECLARE_RUNTIME_CLASS(TkCustomToolBarInfoEx)
public:
    // Button data is counted in one byte.
    static constexpr std::size_t kMaxDataLength = 255;

    std::string m_strTitle;
    TkBtnInfoArray m_arrButtons;

    // Raises ArchiveException when loading meets a short stream or a button count that the bytes
    // left cannot hold.
    void Store(ArchiveWriter& archive, TkDockState* state) override;
    void Load(ArchiveReader& archive, TkDockState* state) override;
    BOOL LoadStateFromTree(TkPersistentTreeNode* node) override;
    BOOL LoadStateFromProfile(const char* section, TkDockState* state) override;
    BOOL SaveStateToTree(TkPTNFactory* factory, TkPersistentTreeNode* parent) override;
    BOOL SaveStateToProfile(const char* section) override;

    // Appends the whole records of the bytes to the array; a fragment at the end is ignored.
    static void ParseButtonData(const std::uint8_t* bytes, std::size_t length, TkBtnInfoArray& buttons);
    static std::vector<std::uint8_t> BuildButtonData(const TkBtnInfoArray& buttons);
};

} // namespace vq

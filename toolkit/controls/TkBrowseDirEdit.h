#pragma once

#include "toolkit/controls/TkBrowseEditBase.h"

#include <cstdint>

namespace vq {

// A browse edit whose button picks a folder, starting from the field's folder when it exists.
class TkBrowseDirEdit : public TkBrowseEditBase {
    VQ_DECLARE_RUNTIME_CLASS(TkBrowseDirEdit)
public:
    TkBrowseDirEdit();
    void SetBrowseStyle(std::uint16_t style);
    std::uint16_t GetBrowseStyle() const { return m_style; }
    void OnBrowse() override;

    // Whether the text names an existing folder; one trailing "/" is ignored.
    static bool IsDirectory(const std::string& text);

private:
    std::uint16_t m_style = 1;
};

} // namespace vq

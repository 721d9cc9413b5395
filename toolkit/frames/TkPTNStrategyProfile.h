#pragma once

#include "toolkit/frames/TkPTNStrategy.h"

namespace vq {

// A settings tree in an INI file: one section per node that has values or children, named by the
// path from the root down joined with "."; children listed as ptn_Child1, ptn_Child2, ... Other
// sections and lines of the file are kept.
class TkPTNStrategyProfile : public TkPTNStrategy {
    VQ_DECLARE_RUNTIME_CLASS(TkPTNStrategyProfile)
public:
    explicit TkPTNStrategyProfile(std::string file);

    bool ClearNode(const Names& path) override;
    // Refuses what the file could not give back as written: line breaks anywhere, and names that
    // would read as another line or another key.
    bool WriteValue(const Names& path, const std::string& key, const std::string& value) override;
    bool WriteChildList(const Names& path, const Names& childNames) override;
    bool ReadNode(const Names& path, Names& childNames, Names& keys, Names& values) override;
    // Every key name of the section, however many.
    virtual bool ReadSectionKeys(const std::string& section, Names& keys);

    static std::string BuildSectionName(const Names& path);
    const std::string& GetFile() const { return m_File; }

    static constexpr const char* kChildKeyPrefix = "ptn_Child";
    static constexpr const char* kSectionSeparator = ".";

protected:
    WriteBatch BeginBatch() override;

private:
    std::string ReadWholeValue(const std::string& section, const std::string& key) const;

    std::string m_File;
};

} // namespace vq

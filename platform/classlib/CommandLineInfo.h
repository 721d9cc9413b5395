#pragma once

#include "platform/gui/GdiTypes.h"

#include <string>

namespace vq {

// What the command line asked for. The application parses its words into one of these; a
// program that gives words meanings of its own overrides ParseParam.
class CCommandLineInfo {
public:
    enum { FileNew, FileOpen, FileNothing };

    virtual ~CCommandLineInfo() = default;

    // One word, its leading '-' or '/' taken off when `flag`; `last` for the final word. A word
    // that is not a flag becomes the file name, the first one only.
    virtual void ParseParam(const char* param, BOOL flag, BOOL last);

    std::string m_strFileName;
    int m_nShellCommand = FileNew;
};

} // namespace vq

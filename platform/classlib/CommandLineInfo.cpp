#include "platform/classlib/CommandLineInfo.h"

namespace vq {

void CCommandLineInfo::ParseParam(const char* param, BOOL flag, BOOL) {
    if (flag || !param || !m_strFileName.empty()) return;
    m_strFileName = param;
    m_nShellCommand = FileOpen;
}

} // namespace vq

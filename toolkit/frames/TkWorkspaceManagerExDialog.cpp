#include "toolkit/frames/TkWorkspaceManagerEx.h"

namespace vq {

BOOL TkWorkspaceManagerEx::PromptForRegistryName(std::string&, BOOL, BOOL) {
    return FALSE;
}

void TkWorkspaceManagerEx::ApplyRegistryChanges(const StringList&, StringList&, const StringList&) {}

} // namespace vq

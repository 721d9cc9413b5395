#pragma once

#include <string>

namespace vq {

// The messaging logon of the root record, copied on the main thread for the mail thread, which
// must not read the configuration while the user edits it.
struct MapiCredentials {
    std::string user;
    std::string password;
};

} // namespace vq

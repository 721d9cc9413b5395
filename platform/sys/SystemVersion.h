#pragma once

namespace vq {

// The class of the running system as the engine tells systems apart: 5 is the newest family,
// the one every Linux build counts as.
int SystemVersionClass();

} // namespace vq

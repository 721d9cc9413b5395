#pragma once

namespace vq {

// The class of the running system, computed once: 1 oldest … 5 newest family.
int GetOsClass();
bool IsOsClass95();
bool IsOsClass98();
bool IsOsClassNT4();
bool IsOsClassNT5();

} // namespace vq

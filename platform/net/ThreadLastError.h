#pragma once

#include <cstdint>

namespace vq::net {

// The calling thread's last error of the network layer: the ICMP echo calls leave an IP status
// here and the socket function table its socket error codes, as callers of both expect one
// per-thread code to read after a failure.
uint32_t GetThreadLastError();
void SetThreadLastError(uint32_t code);

} // namespace vq::net

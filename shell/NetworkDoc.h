#pragma once

#include "shell/CDisplayDoc.h"

namespace vq {

// The network display document, standing in until the displays are built.
class NetworkDoc : public CDisplayDoc {};

} // namespace vq

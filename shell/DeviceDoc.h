#pragma once

#include "shell/CDisplayDoc.h"

namespace vq {

// The device display document, standing in until the displays are built.
class DeviceDoc : public CDisplayDoc {};

} // namespace vq

#pragma once

#include "platform/gui/ComboBox.h"
#include "platform/gui/ControlTypes.h"
#include "platform/gui/Edit.h"
#include "platform/gui/ListBox.h"
#include "platform/gui/ListView.h"
#include "platform/gui/ScrollBar.h"
#include "platform/gui/TabControl.h"
#include "platform/gui/ToolTip.h"
#include "platform/gui/UpDown.h"

namespace vq {

// Registers the window system's own control classes ("Button", …) once; later calls do nothing.
// Control classes live in the window layer's class table like any other, so they are made with
// CreateWindowEx by name.
void RegisterStandardControls();

} // namespace vq

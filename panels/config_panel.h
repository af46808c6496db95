// The configuration panel: the user assigns a Layout command to each device
// button, typed or captured, and reaches the driver's own settings and the
// About panel.
#pragma once

#include "module/host.h"

namespace panels {

// Makes the panel on the first request and opens it when it is not open.
// The instance is ignored; the result is always null (no error).
lw::ErrorText openConfigPanel(lw::Instance instance);

// Offered every command Layout runs; stores it in the selected slot while
// the panel is open with Capture on.
void captureCommand(const char* command);

}  // namespace panels

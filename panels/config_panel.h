// The configuration panel: the user assigns a Layout command to each device
// button, typed or captured, and reaches the driver's own settings and the
// About panel.
#pragma once

#include "module/host.h"

namespace panels {

// Makes the panel on the first request and opens it when it is not open.
// The instance is ignored; the result is always null (no error). When the
// host's panel or message services are missing, or it refuses the panel or
// one of its controls, the host's message service (where there is one) shows
// "Error creating main panel, aborting", nothing is kept, and the next
// request starts again. [ui thread]
lw::ErrorText openConfigPanel(lw::Instance instance) noexcept;

// Offered every command Layout runs; stores it in the selected slot while
// the panel is open with Capture on, then turns Capture off. [ui thread]
void captureCommand(const char* command) noexcept;

// Destroys the panel and gives back its services. The host outlives the
// module: its panel must not keep callbacks into code about to be unmapped,
// nor the object leak with each load and unload.
void releaseConfigPanel() noexcept;

}  // namespace panels

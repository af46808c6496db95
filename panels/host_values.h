// The value records through which every control value, position and size
// passes, and the descriptor through which every control is made. One of
// each for the whole module: the host reads or fills them during a call and
// keeps nothing, and everything runs on the host's user-interface thread.
#pragma once

#include "module/host.h"

namespace panels {

extern lw::Value intValue;   // kind kValueInt; ptr carries handlers and data
extern lw::Value textValue;  // kind kValueString; buffer and length per call
extern lw::ControlDescriptor controlDescriptor;

}  // namespace panels

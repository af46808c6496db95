// The host's global-lookup function, kept by the master activations and used
// by every part of the module that looks up a host service.
#pragma once

#include "module/host.h"

namespace module {

// Null at load. The MasterHandler activation replaces it every time it runs;
// the MasterInterface activation sets it only while it is still null; the
// Layout commands never touch it.
extern lw::GlobalFunc hostGlobal;

}  // namespace module

// The module's static face: the server table the host reads through the
// exported descriptor, and the activation of each server.
#pragma once

#include "module/host.h"

namespace module {

inline constexpr int kServerCount = 12;
extern const lw::ServerRecord serverTable[kServerCount + 1];

void* startup();
void shutdown(void* startupValue);

}  // namespace module

// The one exported symbol.
extern "C" {
#if defined(_WIN32)
__declspec(dllexport)
#else
__attribute__((visibility("default")))
#endif
    extern const lw::ModuleDescriptor _mod_descrip;
}

// The master handler: its instance holds the device connection and the hook
// on Layout's main window while it is applied in Layout.
#pragma once

#include "module/host.h"

namespace connection {

int activateMasterHandler(int version, lw::GlobalFunc global, void* local,
                          void* serverData);
int activateMasterInterface(int version, lw::GlobalFunc global, void* local,
                            void* serverData);

inline constexpr const char* kOneInstanceError =
    "SpaceBall Error:  Only one instance of the driver can be activate at a "
    "time";
inline constexpr const char* kOpenError =
    "SpaceBall Error:  Couldn't open spaceball drivers";
inline constexpr const char* kNoCommandError =
    "SpaceBall Error:  Layout gave no command interface";
inline constexpr const char* kNoDisplayError =
    "SpaceBall Error:  Layout gave no main window";
inline constexpr const char* kDescription = "SpaceBall Driver for Lightwave 3D";
inline constexpr const char* kApplicationName = "Lightwave 3D (Layout)";

// Gives back the host services, closes the device, ends the library and
// unhooks the main window.
void releaseHostServices();

}  // namespace connection

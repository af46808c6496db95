// The module-wide state of the device connection. Plain values, read and
// written on the host's user-interface thread only; they live from load to
// unload, and creating or destroying a handler instance resets none of them
// except where the lifecycle says so.
#pragma once

#include <cstdint>

#include "device/siapp.h"
#include "module/host.h"

namespace connection {

struct DriverState {
  std::uint8_t enabled = 1;              // device events become commands
  std::uint8_t motionAllowed = 1;        // cleared while a render runs
  std::uint8_t moveMode = 1;             // 1: AddPosition, 0: AddScale
  std::uint8_t openConfigOnStartup = 1;  // kept in the settings file
  double translationDivisor = 1000.0;
  double rotationDivisor = 10.0;
  double scaleDivisor = 1000.0;
  siapp::DeviceHandle deviceHandle = nullptr;  // null: no device open
  std::int32_t instanceCount = 0;
  WNDPROC previousWindowProc = nullptr;  // what our hook replaced
};

// Held while the master handler's instance lives; null otherwise.
struct HostServices {
  lw::CommandFunc commandFunction = nullptr;
  const lw::HostDisplayInfo* displayInfo = nullptr;
};

extern DriverState driverState;
extern HostServices hostServices;

}  // namespace connection

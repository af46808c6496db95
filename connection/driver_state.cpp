#include "connection/driver_state.h"

namespace connection {

DriverState driverState;
HostServices hostServices;

}  // namespace connection

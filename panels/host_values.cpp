#include "panels/host_values.h"

namespace panels {

lw::Value intValue{.intv = {lw::kValueInt, 0, nullptr}};
lw::Value textValue{.str = {lw::kValueString, nullptr, 0}};
lw::ControlDescriptor controlDescriptor{};

}  // namespace panels

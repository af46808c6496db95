#include "module/host_global.h"

namespace module {

lw::GlobalFunc hostGlobal = nullptr;

}  // namespace module

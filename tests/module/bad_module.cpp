// Libraries the host must refuse, one fault each, chosen at build time.
#include "module/host.h"

namespace {

[[maybe_unused]] int activate(int, lw::GlobalFunc, void*, void*) { return 0; }
[[maybe_unused]] void* startup() {
  return reinterpret_cast<void*>(std::uintptr_t{4});
}
[[maybe_unused]] void shutdown(void*) {}
const lw::ServerTagInfo tags[] = {{"Bad", 0x409}, {nullptr, 0}};

#if defined(BAD_NO_TERMINATOR)
// Far more rows than any host reads, none of them a terminating row.
struct Table {
  lw::ServerRecord rows[1100];
  constexpr Table() : rows{} {
    for (auto& row : rows) row = {"LayoutGeneric", "Bad", activate, tags};
  }
};
constexpr Table table;
[[maybe_unused]] const lw::ServerRecord* servers = table.rows;
#else
const lw::ServerRecord rows[] = {{"LayoutGeneric", "Bad", activate, tags},
                                 {nullptr, nullptr, nullptr, nullptr}};
[[maybe_unused]] const lw::ServerRecord* servers = rows;
#endif

constexpr std::uint32_t sync =
#if defined(BAD_SYNC)
    0x19940412;
#else
    lw::kModuleSync;
#endif
constexpr std::uint32_t version =
#if defined(BAD_VERSION)
    2;
#else
    lw::kModuleVersion;
#endif
constexpr std::uint32_t machine =
#if defined(BAD_MACHINE)
    0x300 + 0x1234;
#else
    lw::kMachineWord;
#endif

}  // namespace

#if !defined(BAD_NO_DESCRIPTOR)
extern "C" __attribute__((visibility("default")))
const lw::ModuleDescriptor _mod_descrip = {sync,    version,  machine,
                                           startup, shutdown, servers};
#else
extern "C" {
__attribute__((visibility("default"))) int not_a_descriptor = 1;
}
#endif

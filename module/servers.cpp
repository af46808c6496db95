#include "module/servers.h"

#include "connection/master_handler.h"
#include "module/commands.h"
#include "panels/config_panel.h"

namespace module {

namespace {

constexpr std::uint32_t kUserName = lw::kTagUserName | lw::kLanguageUsEnglish;
constexpr std::uint32_t kButtonName =
    lw::kTagButtonName | lw::kLanguageUsEnglish;

// One tag list per server: its user name, its button name, then zeros.
#define VEXA_TAGS(id, user, button)                                         \
  constexpr lw::ServerTagInfo id[] = {{"Vexa  SpaceBall " user, kUserName}, \
                                      {"SpaceBall " button, kButtonName},   \
                                      {nullptr, 0}};

VEXA_TAGS(masterTags, "(Master)", "(Master)")
VEXA_TAGS(propertiesTags, "Properties", "Properties")
VEXA_TAGS(applyTags, "Apply", "Apply")
VEXA_TAGS(enableTags, "Enable", "Enable")
VEXA_TAGS(disableTags, "Disable", "Disable")
VEXA_TAGS(toggleTags, "Toggle", "Toggle")
VEXA_TAGS(resetTags, "Reset", "Reset")
VEXA_TAGS(configTags, "Config", "Config")
VEXA_TAGS(moveTags, "Move", "Move")
VEXA_TAGS(scaleTags, "Scale", "Scale")
VEXA_TAGS(moveToggleTags, "Move Toggle", "Move Toggle")
#undef VEXA_TAGS

constexpr const char* kGeneric = "LayoutGeneric";

}  // namespace

// Rows 0 and 1 share one tag list and one server name: the host tells them
// apart by class. Row 11's server name predates its "Move Toggle" label and
// stays, since users' menus and scripts name it.
const lw::ServerRecord serverTable[kServerCount + 1] = {
    {"MasterHandler", "Vexa_SpaceBallMaster", connection::activateMasterHandler,
     masterTags},
    {"MasterInterface", "Vexa_SpaceBallMaster",
     connection::activateMasterInterface, masterTags},
    {kGeneric, "Vexa_SpaceBallProperties", activateProperties, propertiesTags},
    {kGeneric, "Vexa_SpaceBallApply", activateApply, applyTags},
    {kGeneric, "Vexa_SpaceBallEnable", activateEnable, enableTags},
    {kGeneric, "Vexa_SpaceBallDisable", activateDisable, disableTags},
    {kGeneric, "Vexa_SpaceBallToggle", activateToggle, toggleTags},
    {kGeneric, "Vexa_SpaceBallReset", activateReset, resetTags},
    {kGeneric, "Vexa_SpaceBallConfig", activateConfig, configTags},
    {kGeneric, "Vexa_SpaceBallMove", activateMove, moveTags},
    {kGeneric, "Vexa_SpaceBallScale", activateScale, scaleTags},
    {kGeneric, "Vexa_SpaceBallMoveScale", activateMoveToggle, moveToggleTags},
    {nullptr, nullptr, nullptr, nullptr},
};

void* startup() { return reinterpret_cast<void*>(std::uintptr_t{4}); }

// The host calls this while its services still work, right before it
// unloads the module: the last moment to take our panel down.
void shutdown(void*) { panels::releaseConfigPanel(); }

}  // namespace module

extern "C" const lw::ModuleDescriptor _mod_descrip = {
    lw::kModuleSync, lw::kModuleVersion, lw::kMachineWord,
    module::startup, module::shutdown,   module::serverTable,
};

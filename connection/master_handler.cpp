#include "connection/master_handler.h"

#include <cstring>

#include "connection/driver_state.h"
#include "connection/window_proc.h"
#include "device/binding.h"
#include "module/host_global.h"
#include "panels/config_panel.h"
#include "settings/button_table.h"
#include "settings/settings_file.h"

namespace connection {

namespace {

// The host gets this one token for every instance; no callback looks at the
// instance it is handed.
char instanceToken;
siapp::SiOpenData openData{};
// The window that create hooked, so unhooking restores the same window even
// if the host's display record changes meanwhile.
HWND hookedWindow = nullptr;

bool hostIsLayout() {
  auto id = reinterpret_cast<std::uintptr_t>(
      module::hostGlobal(lw::kSystemIdGlobal, lw::kGlobalTransient));
  return (static_cast<std::uint32_t>(id) & lw::kSystemProductMask) == 0;
}

void releaseServiceSlots() {
  module::hostGlobal(lw::kCommandGlobal, lw::kGlobalRelease);
  module::hostGlobal(lw::kDisplayInfoGlobal, lw::kGlobalRelease);
  hostServices.commandFunction = nullptr;
  hostServices.displayInfo = nullptr;
}

lw::Instance create(void*, void*, lw::ErrorText* error) {
  if (!hostIsLayout()) return &instanceToken;
  if (driverState.instanceCount > 0) {
    *error = kOneInstanceError;
    return nullptr;
  }
  driverState.instanceCount += 1;
  hostServices.commandFunction = reinterpret_cast<lw::CommandFunc>(
      module::hostGlobal(lw::kCommandGlobal, lw::kGlobalAcquire));
  hostServices.displayInfo = static_cast<const lw::HostDisplayInfo*>(
      module::hostGlobal(lw::kDisplayInfoGlobal, lw::kGlobalAcquire));
  // Without either service there is nothing to drive: undo and say so
  // rather than calling through a null service later.
  if (hostServices.commandFunction == nullptr ||
      hostServices.displayInfo == nullptr ||
      hostServices.displayInfo->window == nullptr) {
    *error = hostServices.commandFunction == nullptr ? kNoCommandError
                                                     : kNoDisplayError;
    releaseServiceSlots();
    driverState.instanceCount -= 1;
    return nullptr;
  }
  hookedWindow = hostServices.displayInfo->window;
  driverState.previousWindowProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hookedWindow, GWLP_WNDPROC,
                        reinterpret_cast<LONG_PTR>(&deviceWindowProc)));
  settings::loadSettings();
  device::SiInitialize();
  device::SiOpenWinInit(&openData, hookedWindow);
  driverState.deviceHandle =
      device::SiOpen(kApplicationName, -1, nullptr, 1, &openData);
  if (driverState.deviceHandle == nullptr) {
    releaseHostServices();
    driverState.instanceCount -= 1;
    *error = kOpenError;
    return nullptr;
  }
  device::SiSetUiMode(driverState.deviceHandle,
                      driverState.openConfigOnStartup != 0 ? -1 : 0);
  return &instanceToken;
}

void destroy(lw::Instance) {
  if (!hostIsLayout()) return;
  // An instance made while the host was not Layout holds nothing to undo.
  if (driverState.instanceCount <= 0) return;
  driverState.instanceCount -= 1;
  if (driverState.instanceCount >= 1) return;
  releaseHostServices();
  settings::saveSettings();
  for (char*& slot : settings::buttonCommands)
    settings::replaceText(slot, nullptr);
}

lw::ErrorText noError(lw::Instance, lw::Instance) { return nullptr; }
lw::ErrorText noState(lw::Instance, const void*) { return nullptr; }
const char* describe(lw::Instance) { return kDescription; }
const void* const* noItems(lw::Instance) { return nullptr; }
void ignoreIds(lw::Instance, const void* const*) {}
unsigned int noFlags(lw::Instance) { return 0; }

bool startsWith(const char* text, const char* prefix) {
  return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

double event(lw::Instance, const lw::MasterAccess* access) {
  if (access->eventCode == lw::kEventCommand) {
    const char* command = static_cast<const char*>(access->eventData);
    if (command == nullptr) return 0.0;
    if (startsWith(command, "RenderFrame") ||
        startsWith(command, "RenderScene") ||
        startsWith(command, "RenderObject")) {
      driverState.motionAllowed = 0;
    }
    panels::captureCommand(command);
  } else if (access->eventCode == lw::kEventRenderDone) {
    driverState.motionAllowed = 1;
  }
  return 0.0;
}

}  // namespace

void releaseHostServices() {
  releaseServiceSlots();
  device::SiClose(driverState.deviceHandle);
  device::SiTerminate();
  SetWindowLongPtrA(hookedWindow, GWLP_WNDPROC,
                    reinterpret_cast<LONG_PTR>(driverState.previousWindowProc));
  hookedWindow = nullptr;
  driverState.deviceHandle = nullptr;
}

int activateMasterHandler(int version, lw::GlobalFunc global, void* local,
                          void*) {
  if (version != lw::kMasterHandlerVersion) return lw::kActivateBadVersion;
  auto* handler = static_cast<lw::MasterHandler*>(local);
  if (handler->inst != nullptr) {
    handler->inst->create = create;
    handler->inst->destroy = destroy;
    handler->inst->copy = noError;
    handler->inst->load = noState;
    handler->inst->save = noState;
    handler->inst->descln = describe;
  }
  if (handler->item != nullptr) {
    handler->item->useItems = noItems;
    handler->item->changeID = ignoreIds;
  }
  handler->event = event;
  handler->flags = noFlags;
  module::hostGlobal = global;
  return lw::kActivateOk;
}

int activateMasterInterface(int version, lw::GlobalFunc global, void* local,
                            void*) {
  if (version != lw::kMasterInterfaceVersion) return lw::kActivateBadVersion;
  auto* face = static_cast<lw::Interface*>(local);
  face->panel = nullptr;
  face->options = panels::openConfigPanel;
  face->command = nullptr;
  if (module::hostGlobal == nullptr) module::hostGlobal = global;
  return lw::kActivateOk;
}

}  // namespace connection

#include "module/commands.h"

#include <cstring>

#include "connection/driver_state.h"
#include "device/binding.h"
#include "panels/config_panel.h"

namespace module {

namespace {

using connection::driverState;

bool supported(int version) { return version == lw::kLayoutGenericVersion; }

}  // namespace

void applyMasterHandler(lw::LayoutGeneric* local) {
  if (driverState.instanceCount != 0) return;
  // The host may keep or edit what it is handed; give it a copy of its own.
  char commandLine[256];
  std::strncpy(commandLine, kApplyCommandLine, sizeof commandLine - 1);
  commandLine[sizeof commandLine - 1] = '\0';
  local->evaluate(local->data, commandLine);
}

void setEnabled(std::uint8_t value) {
  if (value == driverState.enabled) return;
  device::SiBeep(driverState.deviceHandle,
                 value != 0 ? kBeepOnEnable : kBeepOnDisable);
  driverState.enabled = value;
}

int activateProperties(int version, lw::GlobalFunc, void* local, void*) {
  if (!supported(version)) return lw::kActivateBadVersion;
  applyMasterHandler(static_cast<lw::LayoutGeneric*>(local));
  panels::openConfigPanel(nullptr);
  return lw::kActivateOk;
}

int activateApply(int version, lw::GlobalFunc, void* local, void*) {
  if (!supported(version)) return lw::kActivateBadVersion;
  applyMasterHandler(static_cast<lw::LayoutGeneric*>(local));
  return lw::kActivateOk;
}

int activateEnable(int version, lw::GlobalFunc, void*, void*) {
  if (!supported(version)) return lw::kActivateBadVersion;
  setEnabled(1);
  return lw::kActivateOk;
}

int activateDisable(int version, lw::GlobalFunc, void*, void*) {
  if (!supported(version)) return lw::kActivateBadVersion;
  setEnabled(0);
  return lw::kActivateOk;
}

int activateToggle(int version, lw::GlobalFunc, void*, void*) {
  if (!supported(version)) return lw::kActivateBadVersion;
  setEnabled(driverState.enabled == 0 ? 1 : 0);
  return lw::kActivateOk;
}

int activateReset(int version, lw::GlobalFunc, void*, void*) {
  if (!supported(version)) return lw::kActivateBadVersion;
  driverState.motionAllowed = 1;
  return lw::kActivateOk;
}

int activateConfig(int version, lw::GlobalFunc, void*, void*) {
  if (!supported(version)) return lw::kActivateBadVersion;
  device::SiSetUiMode(driverState.deviceHandle, -1);
  return lw::kActivateOk;
}

int activateMove(int version, lw::GlobalFunc, void*, void*) {
  if (!supported(version)) return lw::kActivateBadVersion;
  driverState.moveMode = 1;
  return lw::kActivateOk;
}

int activateScale(int version, lw::GlobalFunc, void*, void*) {
  if (!supported(version)) return lw::kActivateBadVersion;
  driverState.moveMode = 0;
  return lw::kActivateOk;
}

int activateMoveToggle(int version, lw::GlobalFunc, void*, void*) {
  if (!supported(version)) return lw::kActivateBadVersion;
  driverState.moveMode = driverState.moveMode == 0 ? 1 : 0;
  return lw::kActivateOk;
}

}  // namespace module

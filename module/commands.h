// The ten Layout commands: each is the whole work of its "LayoutGeneric"
// activation, and each returns kActivateOk whatever its action's outcome.
#pragma once

#include "module/host.h"

namespace module {

inline constexpr const char* kApplyCommandLine =
    "ApplyServer MasterHandler Vexa_SpaceBallMaster";
inline constexpr const char* kBeepOnEnable = "aAaAc";
inline constexpr const char* kBeepOnDisable = "cAcAf";

int activateProperties(int version, lw::GlobalFunc, void* local, void*);
int activateApply(int version, lw::GlobalFunc, void* local, void*);
int activateEnable(int version, lw::GlobalFunc, void* local, void*);
int activateDisable(int version, lw::GlobalFunc, void* local, void*);
int activateToggle(int version, lw::GlobalFunc, void* local, void*);
int activateReset(int version, lw::GlobalFunc, void* local, void*);
int activateConfig(int version, lw::GlobalFunc, void* local, void*);
int activateMove(int version, lw::GlobalFunc, void* local, void*);
int activateScale(int version, lw::GlobalFunc, void* local, void*);
int activateMoveToggle(int version, lw::GlobalFunc, void* local, void*);

// Applies the master handler through the generic's evaluate unless an
// instance already holds the device.
void applyMasterHandler(lw::LayoutGeneric* local);
// Beeps and switches device input when `value` differs from `enabled`.
void setEnabled(std::uint8_t value);

}  // namespace module

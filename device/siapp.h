// The SpaceWare driver library "siappdll" as far as this module and the
// stand-in driver read it: its records, result codes and entry-point types.
// Records are filled by the library; the module only owns instances of them.
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace siapp {

// An open device; null means no device.
using DeviceHandle = void*;

// Results the callers look at.
inline constexpr int kSuccess = 0;
inline constexpr int kIsEvent = 5;   // SiGetEvent: the record holds an event
inline constexpr int kNotEvent = 4;  // SiGetEvent: an ordinary message
inline constexpr int kBadHandle = 2;

// Event types in SiSpwEvent::type.
inline constexpr std::int32_t kButtonEvent = 1;
inline constexpr std::int32_t kMotionEvent = 2;

// Indices of the six motion values.
enum MotionAxis : int { kTx = 0, kTy, kTz, kRx, kRy, kRz, kAxisCount };

// Filled by SiOpenWinInit, read by SiOpen.
struct SiOpenData {
  HWND window;
  std::uint32_t reserved[4];
};

// Filled by SiGetEventWinInit from one window message.
struct SiGetEventData {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// Filled by SiGetEvent. The module reads `type` and `motion`; the button
// fields belong to the library (SiButtonPressed, SiButtonReleased).
struct SiSpwEvent {
  std::int32_t type;
  std::int32_t motion[kAxisCount];
  std::int32_t period;
  std::int32_t buttonPressed;   // library's: number from 1, or -1
  std::int32_t buttonReleased;  // library's: number from 1, or -1
};

struct SiTypeMask;  // never given: the module passes none

// Entry points, by export name.
using SiBeepFn = int (*)(DeviceHandle, const char* pattern);
using SiInitializeFn = int (*)();
using SiTerminateFn = void (*)();
using SiGetNumDevicesFn = int (*)();
using SiGetDeviceIDFn = int (*)(DeviceHandle);
using SiDeviceIndexFn = int (*)(int);
using SiDispatchFn = int (*)(DeviceHandle, SiGetEventData*, SiSpwEvent*,
                             void* handlers);
using SiOpenWinInitFn = void (*)(SiOpenData*, HWND);
using SiOpenFn = DeviceHandle (*)(const char* application, int deviceId,
                                  const SiTypeMask* typeMask, int mode,
                                  SiOpenData*);
using SiCloseFn = int (*)(DeviceHandle);
using SiGetEventWinInitFn = void (*)(SiGetEventData*, UINT, WPARAM, LPARAM);
using SiIsSpaceWareEventFn = int (*)(SiGetEventData*, DeviceHandle*);
using SiGetEventFn = int (*)(DeviceHandle, int flags, SiGetEventData*,
                             SiSpwEvent*);
using SiRezeroFn = int (*)(DeviceHandle);
using SiGrabDeviceFn = int (*)(DeviceHandle, int exclusive);
using SiReleaseDeviceFn = int (*)(DeviceHandle);
using SiButtonPressedFn = int (*)(SiSpwEvent*);
using SiButtonReleasedFn = int (*)(SiSpwEvent*);
using SiSetUiModeFn = int (*)(DeviceHandle, int mode);
using SiGetDevicePortFn = int (*)(DeviceHandle, void* port);
using SiGetDriverInfoFn = int (*)(void* info);
using SiGetLibraryInfoFn = void (*)(void* info);
using SiGetDeviceInfoFn = int (*)(DeviceHandle, void* info);
using SpwErrorStringFn = const char* (*)(int error);

}  // namespace siapp

// The module's only way to the SpaceWare driver library "siappdll": loads it
// by name on first use, resolves its 25 exports, and offers one wrapper per
// exported function under the function's own name. When the library cannot
// be bound, a wrapper returns a fixed failure value without calling anything,
// so no caller ever tests whether the library is present.
#pragma once

#include <cstdint>

#include "device/siapp.h"

namespace device {

enum class BindingStatus : int { Unloaded = 0, Failed = 1, Ready = 2 };

struct SpaceWareBinding {
  HMODULE libraryHandle;
  BindingStatus status;
  std::int32_t* errorValueRef;  // the library's SpwErrorVal
  siapp::SiBeepFn beep;
  siapp::SiInitializeFn initialize;
  siapp::SiTerminateFn terminate;
  siapp::SiGetNumDevicesFn getNumDevices;
  siapp::SiGetDeviceIDFn getDeviceId;
  siapp::SiDeviceIndexFn deviceIndex;
  siapp::SiDispatchFn dispatch;
  siapp::SiOpenWinInitFn openWinInit;
  siapp::SiOpenFn open;
  siapp::SiCloseFn close;
  siapp::SiGetEventWinInitFn getEventWinInit;
  siapp::SiIsSpaceWareEventFn isSpaceWareEvent;
  siapp::SiGetEventFn getEvent;
  siapp::SiRezeroFn rezero;
  siapp::SiGrabDeviceFn grabDevice;
  siapp::SiReleaseDeviceFn releaseDevice;
  siapp::SiButtonPressedFn buttonPressed;
  siapp::SiButtonReleasedFn buttonReleased;
  siapp::SiSetUiModeFn setUiMode;
  siapp::SiGetDevicePortFn getDevicePort;
  siapp::SiGetDriverInfoFn getDriverInfo;
  siapp::SiGetLibraryInfoFn getLibraryInfo;
  siapp::SiGetDeviceInfoFn getDeviceInfo;
  siapp::SpwErrorStringFn errorString;
  // After each wrapper call: the library's error value, or the wrapper's own
  // code when the library could not be bound. Nothing in the module reads it.
  std::int32_t lastDeviceError;
};

// All zero at load.
extern SpaceWareBinding binding;

// The library's file name, as given to the platform loader.
inline constexpr const char* kLibraryName = "siappdll";

// 0 bound; 1 the library cannot be loaded; 2 a function export is missing;
// 3 only SpwErrorVal is missing.
int loadDeviceLibrary();
// 0 when Ready (binding first if needed), 1 when it cannot be bound.
int ensureReady();

int SiInitialize();
void SiTerminate();
int SiGetNumDevices();
int SiGetDeviceID(siapp::DeviceHandle device);
int SiDeviceIndex(int index);
int SiDispatch(siapp::DeviceHandle device, siapp::SiGetEventData* data,
               siapp::SiSpwEvent* event, void* handlers);
void SiOpenWinInit(siapp::SiOpenData* openData, HWND window);
siapp::DeviceHandle SiOpen(const char* application, int deviceId,
                           const siapp::SiTypeMask* typeMask, int mode,
                           siapp::SiOpenData* openData);
int SiClose(siapp::DeviceHandle device);
// The window procedure asks these two about every message of Layout's main
// window, so their Ready path is inline: one status comparison, the call and
// one copy of the error value, without a call into the binding first.
namespace unbound {
void SiGetEventWinInit(siapp::SiGetEventData* data, UINT message, WPARAM wParam,
                       LPARAM lParam);
int SiGetEvent(siapp::DeviceHandle device, int flags,
               siapp::SiGetEventData* data, siapp::SiSpwEvent* event);
}  // namespace unbound

inline void SiGetEventWinInit(siapp::SiGetEventData* data, UINT message,
                              WPARAM wParam, LPARAM lParam) {
  if (binding.status == BindingStatus::Ready) [[likely]] {
    binding.getEventWinInit(data, message, wParam, lParam);
    binding.lastDeviceError = *binding.errorValueRef;
    return;
  }
  unbound::SiGetEventWinInit(data, message, wParam, lParam);
}
int SiIsSpaceWareEvent(siapp::SiGetEventData* data,
                       siapp::DeviceHandle* device);
inline int SiGetEvent(siapp::DeviceHandle device, int flags,
                      siapp::SiGetEventData* data, siapp::SiSpwEvent* event) {
  if (binding.status == BindingStatus::Ready) [[likely]] {
    int result = binding.getEvent(device, flags, data, event);
    binding.lastDeviceError = *binding.errorValueRef;
    return result;
  }
  return unbound::SiGetEvent(device, flags, data, event);
}
int SiRezero(siapp::DeviceHandle device);
int SiGrabDevice(siapp::DeviceHandle device, int exclusive);
int SiReleaseDevice(siapp::DeviceHandle device);
int SiButtonPressed(siapp::SiSpwEvent* event);
int SiButtonReleased(siapp::SiSpwEvent* event);
int SiBeep(siapp::DeviceHandle device, const char* pattern);
int SiSetUiMode(siapp::DeviceHandle device, int mode);
int SiGetDevicePort(siapp::DeviceHandle device, void* port);
int SiGetDriverInfo(void* info);
void SiGetLibraryInfo(void* info);
int SiGetDeviceInfo(siapp::DeviceHandle device, void* info);
const char* SpwErrorString(int error);

}  // namespace device

#include "device/binding.h"

#include <type_traits>

namespace device {

SpaceWareBinding binding{};

namespace {

// Codes the binding gives of its own when the library cannot be bound.
constexpr int kLibraryMissing = 14;  // SiInitialize: no library file
constexpr int kExportMissing = 1;    // SiInitialize: an export is missing
constexpr std::int32_t kErrorNoDevice = 8;
constexpr std::int32_t kErrorNoButton = 1;

template <typename Fn>
void resolve(Fn& target, const char* name, int& result, BindingStatus& status) {
  FARPROC address = GetProcAddress(binding.libraryHandle, name);
  // Through the generic function type, which every function type converts
  // to and from without a warning.
  target = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(address));
  if (address == nullptr) {
    status = BindingStatus::Failed;
    result = 2;
  }
}

// Binds the library when it is not Ready. True when it is Ready afterwards.
// The window procedure calls two wrappers for every message of Layout's main
// window: marked likely, the binding moves out of the way and a Ready
// wrapper saves no registers for a call it does not make.
inline bool bound() {
  if (binding.status == BindingStatus::Ready) [[likely]]
    return true;
  SiInitialize();
  return binding.status == BindingStatus::Ready;
}

inline void copyError() { binding.lastDeviceError = *binding.errorValueRef; }

// The hot path once Ready: the call and one copy of the error value.
template <auto Entry, typename... Args>
inline auto callBound(Args... args) {
  if constexpr (std::is_void_v<decltype((binding.*Entry)(args...))>) {
    (binding.*Entry)(args...);
    copyError();
  } else {
    auto result = (binding.*Entry)(args...);
    copyError();
    return result;
  }
}

template <typename R>
inline R failWith(R failure, std::int32_t error) {
  binding.lastDeviceError = error;
  return failure;
}

}  // namespace

int loadDeviceLibrary() {
  binding.libraryHandle = LoadLibraryA(kLibraryName);
  if (binding.libraryHandle == nullptr) {
    binding.status = BindingStatus::Failed;
    return 1;
  }
  int result = 0;
  BindingStatus status = BindingStatus::Ready;
  FARPROC errorValue = GetProcAddress(binding.libraryHandle, "SpwErrorVal");
  binding.errorValueRef = reinterpret_cast<std::int32_t*>(errorValue);
  if (errorValue == nullptr) {
    status = BindingStatus::Failed;
    result = 3;
  }
  resolve(binding.beep, "SiBeep", result, status);
  resolve(binding.initialize, "SiInitialize", result, status);
  resolve(binding.terminate, "SiTerminate", result, status);
  resolve(binding.getNumDevices, "SiGetNumDevices", result, status);
  resolve(binding.getDeviceId, "SiGetDeviceID", result, status);
  resolve(binding.deviceIndex, "SiDeviceIndex", result, status);
  resolve(binding.dispatch, "SiDispatch", result, status);
  resolve(binding.openWinInit, "SiOpenWinInit", result, status);
  resolve(binding.open, "SiOpen", result, status);
  resolve(binding.close, "SiClose", result, status);
  resolve(binding.getEventWinInit, "SiGetEventWinInit", result, status);
  resolve(binding.isSpaceWareEvent, "SiIsSpaceWareEvent", result, status);
  resolve(binding.getEvent, "SiGetEvent", result, status);
  resolve(binding.rezero, "SiRezero", result, status);
  resolve(binding.grabDevice, "SiGrabDevice", result, status);
  resolve(binding.releaseDevice, "SiReleaseDevice", result, status);
  resolve(binding.buttonPressed, "SiButtonPressed", result, status);
  resolve(binding.buttonReleased, "SiButtonReleased", result, status);
  resolve(binding.setUiMode, "SiSetUiMode", result, status);
  resolve(binding.getDevicePort, "SiGetDevicePort", result, status);
  resolve(binding.getDriverInfo, "SiGetDriverInfo", result, status);
  resolve(binding.getLibraryInfo, "SiGetLibraryInfo", result, status);
  resolve(binding.getDeviceInfo, "SiGetDeviceInfo", result, status);
  resolve(binding.errorString, "SpwErrorString", result, status);
  binding.status = status;
  return result;
}

int SiInitialize() {
  if (binding.status != BindingStatus::Ready) {
    if (loadDeviceLibrary() == 1) return kLibraryMissing;
    if (binding.status == BindingStatus::Failed) return kExportMissing;
  }
  int result = binding.initialize();
  copyError();
  return result;
}

int ensureReady() { return bound() ? 0 : 1; }

void SiTerminate() {
  if (!bound()) return;
  binding.terminate();
  copyError();
  FreeLibrary(binding.libraryHandle);
  binding.libraryHandle = nullptr;
  binding.status = BindingStatus::Unloaded;
}

int SiGetNumDevices() {
  if (!bound()) return failWith(-1, kErrorNoDevice);
  return callBound<&SpaceWareBinding::getNumDevices>();
}

int SiGetDeviceID(siapp::DeviceHandle device) {
  if (!bound()) return failWith(-1, kErrorNoDevice);
  return callBound<&SpaceWareBinding::getDeviceId>(device);
}

int SiDeviceIndex(int index) {
  if (!bound()) return failWith(-1, kErrorNoDevice);
  return callBound<&SpaceWareBinding::deviceIndex>(index);
}

int SiDispatch(siapp::DeviceHandle device, siapp::SiGetEventData* data,
               siapp::SiSpwEvent* event, void* handlers) {
  if (!bound()) return 0;
  return callBound<&SpaceWareBinding::dispatch>(device, data, event, handlers);
}

void SiOpenWinInit(siapp::SiOpenData* openData, HWND window) {
  if (!bound()) return;
  callBound<&SpaceWareBinding::openWinInit>(openData, window);
}

siapp::DeviceHandle SiOpen(const char* application, int deviceId,
                           const siapp::SiTypeMask* typeMask, int mode,
                           siapp::SiOpenData* openData) {
  if (!bound()) return failWith<siapp::DeviceHandle>(nullptr, 0);
  return callBound<&SpaceWareBinding::open>(application, deviceId, typeMask,
                                            mode, openData);
}

int SiClose(siapp::DeviceHandle device) {
  if (!bound()) return 1;
  return callBound<&SpaceWareBinding::close>(device);
}

void unbound::SiGetEventWinInit(siapp::SiGetEventData* data, UINT message,
                                WPARAM wParam, LPARAM lParam) {
  if (!bound()) return;
  callBound<&SpaceWareBinding::getEventWinInit>(data, message, wParam, lParam);
}

int SiIsSpaceWareEvent(siapp::SiGetEventData* data,
                       siapp::DeviceHandle* device) {
  if (!bound()) return 0;
  return callBound<&SpaceWareBinding::isSpaceWareEvent>(data, device);
}

int unbound::SiGetEvent(siapp::DeviceHandle device, int flags,
                        siapp::SiGetEventData* data, siapp::SiSpwEvent* event) {
  if (!bound()) return 2;
  return callBound<&SpaceWareBinding::getEvent>(device, flags, data, event);
}

int SiRezero(siapp::DeviceHandle device) {
  if (!bound()) return 2;
  return callBound<&SpaceWareBinding::rezero>(device);
}

int SiGrabDevice(siapp::DeviceHandle device, int exclusive) {
  if (!bound()) return 1;
  return callBound<&SpaceWareBinding::grabDevice>(device, exclusive);
}

int SiReleaseDevice(siapp::DeviceHandle device) {
  if (!bound()) return 1;
  return callBound<&SpaceWareBinding::releaseDevice>(device);
}

int SiButtonPressed(siapp::SiSpwEvent* event) {
  if (!bound()) return failWith(-1, kErrorNoButton);
  return callBound<&SpaceWareBinding::buttonPressed>(event);
}

int SiButtonReleased(siapp::SiSpwEvent* event) {
  if (!bound()) return failWith(-1, kErrorNoButton);
  return callBound<&SpaceWareBinding::buttonReleased>(event);
}

int SiBeep(siapp::DeviceHandle device, const char* pattern) {
  if (!bound()) return 2;
  return callBound<&SpaceWareBinding::beep>(device, pattern);
}

int SiSetUiMode(siapp::DeviceHandle device, int mode) {
  if (!bound()) return 1;
  return callBound<&SpaceWareBinding::setUiMode>(device, mode);
}

int SiGetDevicePort(siapp::DeviceHandle device, void* port) {
  if (!bound()) return 3;
  return callBound<&SpaceWareBinding::getDevicePort>(device, port);
}

int SiGetDriverInfo(void* info) {
  if (!bound()) return 1;
  return callBound<&SpaceWareBinding::getDriverInfo>(info);
}

void SiGetLibraryInfo(void* info) {
  if (!bound()) return;
  callBound<&SpaceWareBinding::getLibraryInfo>(info);
}

int SiGetDeviceInfo(siapp::DeviceHandle device, void* info) {
  if (!bound()) return 2;
  return callBound<&SpaceWareBinding::getDeviceInfo>(device, info);
}

// The one wrapper that leaves lastDeviceError alone: callers use it to turn
// an error code into text without losing the code.
const char* SpwErrorString(int error) {
  if (!bound()) return nullptr;
  return binding.errorString(error);
}

}  // namespace device

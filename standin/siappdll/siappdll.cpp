// The stand-in SpaceWare driver library. Build variants leave out one
// function export (SIAPP_OMIT_FUNCTION) or the error value
// (SIAPP_OMIT_ERROR_VALUE) so the module's binding meets a broken library.
#include <array>
#include <cstdio>
#include <string>

#include "standin/siappdll/driver_feed.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include "standin/winsys/winsys.h"
#endif

using siapp::DeviceHandle;
using siapp::SiGetEventData;
using siapp::SiOpenData;
using siapp::SiSpwEvent;

#if !defined(SIAPP_OMIT_ERROR_VALUE)
extern "C" {
#if defined(_WIN32)
__declspec(dllexport) int SpwErrorVal = 0;
#else
__attribute__((visibility("default"))) int SpwErrorVal = 0;
#endif
}
#define SET_ERROR(value) (SpwErrorVal = (value))
#else
#define SET_ERROR(value) ((void)(value))
#endif

namespace {

constexpr int kErrorNone = 0;
constexpr int kErrorBadHandle = 2;
constexpr int kErrorNotOpen = 6;

// Events wait here between the feed and SiGetEvent; the posted message
// carries the slot and a sequence number so a stale message is no event.
constexpr std::size_t kPending = 1024;

struct Device {
  int present = 1;
  int open = 0;
  HWND window = nullptr;
  UINT message = 0;
  std::array<SiSpwEvent, kPending> pending{};
  std::array<LPARAM, kPending> sequenceOf{};
  LPARAM nextSequence = 1;
  long eventQueries = 0;
  standin_driver::CallObserver observer = nullptr;
  void* context = nullptr;
} device;

DeviceHandle handleOf() { return &device; }

void tell(const std::string& call) {
  if (device.observer != nullptr) device.observer(call.c_str(), device.context);
}

UINT eventMessage() {
  if (device.message == 0)
    device.message = RegisterWindowMessageA("SpaceWareMessage00");
  return device.message;
}

bool valid(DeviceHandle handle) {
  return device.open != 0 && handle == handleOf();
}

int checked(DeviceHandle handle) {
  if (valid(handle)) return SET_ERROR(kErrorNone), 0;
  SET_ERROR(kErrorBadHandle);
  return kErrorBadHandle;
}

}  // namespace

SIAPP_API void StandinDriverSetPresent(int present) {
  device.present = present != 0;
}

SIAPP_API void StandinDriverSetObserver(standin_driver::CallObserver observer,
                                        void* context) {
  device.observer = observer;
  device.context = context;
}

SIAPP_API int StandinDriverIsOpen() { return device.open; }

SIAPP_API long StandinDriverEventQueries() { return device.eventQueries; }

SIAPP_API int StandinDriverFeed(const SiSpwEvent* event) {
  if (device.open == 0 || device.window == nullptr) return 0;
  LPARAM sequence = device.nextSequence++;
  std::size_t slot = static_cast<std::size_t>(sequence) % kPending;
  device.pending[slot] = *event;
  device.sequenceOf[slot] = sequence;
  return PostMessageA(device.window, eventMessage(), slot, sequence) ? 1 : 0;
}

SIAPP_API int SiInitialize() {
  tell("initialise");
  SET_ERROR(kErrorNone);
  return 0;
}

SIAPP_API void SiTerminate() {
  tell("terminate");
  device.open = 0;
  SET_ERROR(kErrorNone);
}

SIAPP_API int SiGetNumDevices() {
  tell("SiGetNumDevices");
  SET_ERROR(kErrorNone);
  return device.present;
}

SIAPP_API int SiGetDeviceID(DeviceHandle handle) {
  tell("SiGetDeviceID");
  return checked(handle) == 0 ? 1 : -1;
}

SIAPP_API int SiDeviceIndex(int index) {
  tell("SiDeviceIndex");
  SET_ERROR(kErrorNone);
  return index == 0 && device.present ? 1 : -1;
}

SIAPP_API int SiDispatch(DeviceHandle handle, SiGetEventData*, SiSpwEvent*,
                         void*) {
  tell("SiDispatch");
  return checked(handle) == 0 ? 1 : 0;
}

SIAPP_API void SiOpenWinInit(SiOpenData* openData, HWND window) {
  tell("SiOpenWinInit");
  openData->window = window;
  SET_ERROR(kErrorNone);
}

SIAPP_API DeviceHandle SiOpen(const char* application, int deviceId,
                              const siapp::SiTypeMask*, int mode,
                              SiOpenData* openData) {
  char detail[160];
  std::snprintf(detail, sizeof detail, "open-request %s %d %d", application,
                deviceId, mode);
  tell(detail);
  if (!device.present || openData == nullptr) {
    SET_ERROR(kErrorNotOpen);
    return nullptr;
  }
  device.window = openData->window;
  device.open = 1;
  eventMessage();
  tell("open");
  SET_ERROR(kErrorNone);
  return handleOf();
}

SIAPP_API int SiClose(DeviceHandle handle) {
  if (checked(handle) != 0) {
    tell("close-refused");
    return kErrorBadHandle;
  }
  device.open = 0;
  tell("close");
  return 0;
}

SIAPP_API void SiGetEventWinInit(SiGetEventData* data, UINT message,
                                 WPARAM wParam, LPARAM lParam) {
  data->message = message;
  data->wParam = wParam;
  data->lParam = lParam;
  SET_ERROR(kErrorNone);
}

SIAPP_API int SiIsSpaceWareEvent(SiGetEventData* data, DeviceHandle* handle) {
  const bool ours = device.open != 0 && data->message == eventMessage();
  if (ours && handle != nullptr) *handle = handleOf();
  SET_ERROR(kErrorNone);
  return ours ? 1 : 0;
}

SIAPP_API int SiGetEvent(DeviceHandle handle, int, SiGetEventData* data,
                         SiSpwEvent* event) {
  ++device.eventQueries;
  if (checked(handle) != 0) return kErrorBadHandle;
  if (data->message != eventMessage() || data->wParam >= kPending ||
      device.sequenceOf[data->wParam] != data->lParam) {
    return siapp::kNotEvent;
  }
  *event = device.pending[data->wParam];
  device.sequenceOf[data->wParam] = 0;  // each event is taken once
  return siapp::kIsEvent;
}

SIAPP_API int SiRezero(DeviceHandle handle) {
  tell("SiRezero");
  return checked(handle);
}

SIAPP_API int SiGrabDevice(DeviceHandle handle, int) {
  tell("SiGrabDevice");
  return checked(handle);
}

SIAPP_API int SiReleaseDevice(DeviceHandle handle) {
  tell("SiReleaseDevice");
  return checked(handle);
}

SIAPP_API int SiButtonPressed(SiSpwEvent* event) {
  SET_ERROR(kErrorNone);
  return event->type == siapp::kButtonEvent ? event->buttonPressed : -1;
}

SIAPP_API int SiButtonReleased(SiSpwEvent* event) {
  SET_ERROR(kErrorNone);
  return event->type == siapp::kButtonEvent ? event->buttonReleased : -1;
}

#if !defined(SIAPP_OMIT_FUNCTION)
SIAPP_API int SiBeep(DeviceHandle handle, const char* pattern) {
  tell(std::string("beep ") + (pattern != nullptr ? pattern : "(null)"));
  return checked(handle);
}
#endif

SIAPP_API int SiSetUiMode(DeviceHandle handle, int mode) {
  tell("ui-mode " + std::to_string(mode));
  return checked(handle);
}

SIAPP_API int SiGetDevicePort(DeviceHandle handle, void*) {
  tell("SiGetDevicePort");
  return checked(handle);
}

SIAPP_API int SiGetDriverInfo(void*) {
  tell("SiGetDriverInfo");
  SET_ERROR(kErrorNone);
  return 0;
}

SIAPP_API void SiGetLibraryInfo(void*) {
  tell("SiGetLibraryInfo");
  SET_ERROR(kErrorNone);
}

SIAPP_API int SiGetDeviceInfo(DeviceHandle handle, void*) {
  tell("SiGetDeviceInfo");
  return checked(handle);
}

SIAPP_API const char* SpwErrorString(int error) {
  switch (error) {
    case kErrorNone:
      return "no error";
    case kErrorBadHandle:
      return "bad device handle";
    case kErrorNotOpen:
      return "no device could be opened";
    default:
      return "unknown error";
  }
}

#include "connection/window_proc.h"

#include <charconv>
#include <cstring>

#include "connection/driver_state.h"
#include "device/binding.h"
#include "settings/button_table.h"

namespace connection {

siapp::SiGetEventData eventData{};
siapp::SiSpwEvent eventRecord{};
char commandText[kCommandTextSize];

namespace {

constexpr char kAddPosition[] = "AddPosition";
constexpr char kAddScale[] = "AddScale";
constexpr char kAddRotation[] = "AddRotation";

// Six significant digits, trailing zeros dropped: printf's "%g". to_chars
// never consults the locale, so a host running under a decimal-comma locale
// still gets "0.35", which Layout's command parser expects.
inline char* appendNumber(char* at, char* end, double value) {
  *at++ = ' ';
  return std::to_chars(at, end, value, std::chars_format::general, 6).ptr;
}

void translateButton() {
  int button = device::SiButtonPressed(&eventRecord);
  if (button < 1 || button > settings::kButtonSlots) return;
  const char* command = settings::buttonCommands[button - 1];
  if (command != nullptr) hostServices.commandFunction(command);
}

void translateMotion() {
  const std::int32_t* m = eventRecord.motion;
  if (m[siapp::kTx] != 0 || m[siapp::kTy] != 0 || m[siapp::kTz] != 0) {
    const bool move = driverState.moveMode != 0;
    const double divisor =
        move ? driverState.translationDivisor : driverState.scaleDivisor;
    formatCommand(commandText, move ? kAddPosition : kAddScale,
                  move ? sizeof kAddPosition - 1 : sizeof kAddScale - 1,
                  m[siapp::kTx] / divisor, m[siapp::kTy] / divisor,
                  m[siapp::kTz] / divisor);
    hostServices.commandFunction(commandText);
  }
  if (m[siapp::kRx] != 0 || m[siapp::kRy] != 0 || m[siapp::kRz] != 0) {
    const double divisor = driverState.rotationDivisor;
    // The device's axes and Layout's heading, pitch and bank run opposite
    // ways, and Layout's first rotation value turns about the device's Y.
    formatCommand(commandText, kAddRotation, sizeof kAddRotation - 1,
                  -(m[siapp::kRy] / divisor), -(m[siapp::kRx] / divisor),
                  -(m[siapp::kRz] / divisor));
    hostServices.commandFunction(commandText);
  }
}

}  // namespace

std::size_t formatCommand(char* buffer, const char* prefix,
                          std::size_t prefixLength, double a, double b,
                          double c) {
  // Each "%g" value needs at most 13 characters ("-1.23457e+308"), plus its
  // separating blank.
  char* end = buffer + prefixLength + 3 * 14 + 1;
  std::memcpy(buffer, prefix, prefixLength);
  char* at = appendNumber(buffer + prefixLength, end, a);
  at = appendNumber(at, end, b);
  at = appendNumber(at, end, c);
  *at = '\0';
  return static_cast<std::size_t>(at - buffer);
}

LRESULT CALLBACK deviceWindowProc(HWND window, UINT message, WPARAM wParam,
                                  LPARAM lParam) {
  device::SiGetEventWinInit(&eventData, message, wParam, lParam);
  const int result =
      device::SiGetEvent(driverState.deviceHandle, 0, &eventData, &eventRecord);
  if (result == siapp::kIsEvent && driverState.enabled != 0 &&
      driverState.motionAllowed != 0) {
    if (eventRecord.type == siapp::kButtonEvent) {
      translateButton();
    } else if (eventRecord.type == siapp::kMotionEvent) {
      translateMotion();
    }
  }
  return CallWindowProcA(driverState.previousWindowProc, window, message,
                         wParam, lParam);
}

}  // namespace connection

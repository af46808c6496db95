#include "connection/window_proc.h"

#include <charconv>
#include <cmath>
#include <cstdint>
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

// Six significant digits, trailing zeros dropped: printf's "%g". Neither
// path below consults the locale, so a host running under a decimal-comma
// locale still gets "0.35", which Layout's command parser expects.
//
// to_chars rounds exactly, but it was most of the cost of a motion message.
// A device's values (32-bit counts over 1000 or 10) lie between 1e-5 and
// 1e16 when not zero, and there the six digits come from one multiplication
// or division by an exact power of ten, whose error stays below 1e-10: they
// are right unless the scaled value is within a hair of a half. Those rare
// values, and any outside the range, still go to to_chars.
constexpr int kFirstPower = -6;
constexpr double kPowersOfTen[] = {1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1,
                                   1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8, 1e9,
                                   1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16};
constexpr double kSmallestFast = 1e-5;
constexpr double kLargestFast = 1e16;  // excluded

inline double powerOfTen(int exponent) {
  return kPowersOfTen[exponent - kFirstPower];
}

inline char* exactNumber(char* at, char* end, double value) {
  return std::to_chars(at, end, value, std::chars_format::general, 6).ptr;
}

char* appendDigits(char* at, const char* digits, int count) {
  std::memcpy(at, digits, static_cast<std::size_t>(count));
  return at + count;
}

inline char* appendNumber(char* at, char* end, double value) {
  *at++ = ' ';
  const double magnitude = std::fabs(value);
  if (magnitude == 0) {
    if (std::signbit(value)) *at++ = '-';
    *at++ = '0';
    return at;
  }
  if (!(magnitude >= kSmallestFast && magnitude < kLargestFast)) {
    return exactNumber(at, end, value);
  }
  int exponent = 0;  // of the leading digit
  while (magnitude < powerOfTen(exponent)) --exponent;
  while (magnitude >= powerOfTen(exponent + 1)) ++exponent;
  const int shift = 5 - exponent;
  const double scaled = shift >= 0 ? magnitude * powerOfTen(shift)
                                   : magnitude / powerOfTen(-shift);
  auto rounded = static_cast<std::int32_t>(scaled);  // six digits
  const double fraction = scaled - rounded;
  if (std::fabs(fraction - 0.5) < 1e-9) return exactNumber(at, end, value);
  if (fraction > 0.5) ++rounded;
  if (rounded == 1000000) {  // 999999.5 and up round to the next power
    rounded = 100000;
    ++exponent;
  }
  // Cannot happen with the exponent found above; if it did, no guessing.
  if (rounded < 100000) return exactNumber(at, end, value);

  char digits[6];
  for (int i = 5; i >= 0; --i) {
    digits[i] = static_cast<char>('0' + rounded % 10);
    rounded /= 10;
  }
  int significant = 6;
  while (significant > 1 && digits[significant - 1] == '0') --significant;

  if (std::signbit(value)) *at++ = '-';
  // "%g" writes an exponent when it is below -4 or not below the precision.
  if (exponent >= 6 || exponent < -4) {
    *at++ = digits[0];
    if (significant > 1) {
      *at++ = '.';
      at = appendDigits(at, digits + 1, significant - 1);
    }
    *at++ = 'e';
    *at++ = exponent < 0 ? '-' : '+';
    const int shown = exponent < 0 ? -exponent : exponent;  // at most 16
    *at++ = static_cast<char>('0' + shown / 10);
    *at++ = static_cast<char>('0' + shown % 10);
  } else if (exponent >= 0) {
    at = appendDigits(at, digits, exponent + 1);
    if (significant > exponent + 1) {
      *at++ = '.';
      at = appendDigits(at, digits + exponent + 1, significant - exponent - 1);
    }
  } else {
    *at++ = '0';
    *at++ = '.';
    for (int i = -1; i > exponent; --i) *at++ = '0';
    at = appendDigits(at, digits, significant);
  }
  return at;
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

// The motion-value formatter against the C library's "%g".
#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>

#include "connection/window_proc.h"

namespace {

// The formatter agrees with "%g" in the "C" locale on every value the
// device can produce once divided.
TEST(FormatCommand, MatchesPrintfInTheCLocale) {
  std::setlocale(LC_ALL, "C");
  std::mt19937 random(20261211);
  std::uniform_int_distribution<std::int32_t> any(INT32_MIN, INT32_MAX);
  std::uniform_int_distribution<std::int32_t> small(-2000, 2000);
  char ours[128];
  char theirs[128];
  for (int i = 0; i < 200000; ++i) {
    const std::int32_t raw[3] = {i % 2 ? any(random) : small(random),
                                 small(random), any(random)};
    for (double divisor : {1000.0, 10.0}) {
      const double a = raw[0] / divisor, b = -(raw[1] / divisor),
                   c = raw[2] / divisor;
      connection::formatCommand(ours, "AddRotation", 11, a, b, c);
      std::snprintf(theirs, sizeof theirs, "AddRotation %g %g %g", a, b, c);
      ASSERT_STREQ(ours, theirs) << raw[0] << " " << raw[1] << " " << raw[2];
    }
  }
}

// The values where "%g" turns: rounding into the next power of ten, exact
// halves (rounded to even), the switch to and from the exponent form, the
// signed zero, and values beyond what a device gives.
TEST(FormatCommand, MatchesPrintfWhereTheFormatTurns) {
  std::setlocale(LC_ALL, "C");
  struct Case {
    const char* name;
    double value;
  };
  const Case cases[] = {
      {"zero", 0.0},
      {"negative zero", -(0 / 10.0)},
      {"smallest count", 1 / 1000.0},
      {"carry to 10000", 9999999 / 1000.0},
      {"carry to 1e+06", 9999996 / 10.0},
      {"near half below a carry", 9999995 / 1000.0},
      {"exact half, even below", 1234565 / 10.0},
      {"exact half, odd below", 1234575 / 10.0},
      {"largest count", INT32_MAX / 10.0},
      {"most negative count", INT32_MIN / 10.0},
      {"largest count, translation", INT32_MAX / 1000.0},
      {"six nines", 999999 / 1000.0},
      {"last fixed form", 999999.4},
      {"first exponent form", 999999.5},
      {"1e-4, fixed form", 1e-4},
      {"just under 1e-4", 9.999994e-5},
      {"1e-5, exponent form", 1e-5},
      {"under 1e-5", 9.9999951e-6},
      {"tiny", 1e-300},
      {"1e16", 1e16},
      {"just under 1e16", 9.9999949e15},
      {"huge", 1e300},
      {"infinity", std::numeric_limits<double>::infinity()},
  };
  char ours[128];
  char theirs[128];
  for (const Case& c : cases) {
    for (double value : {c.value, -c.value}) {
      connection::formatCommand(ours, "AddScale", 8, value, value, value);
      std::snprintf(theirs, sizeof theirs, "AddScale %g %g %g", value, value,
                    value);
      EXPECT_STREQ(ours, theirs) << c.name;
    }
  }
}

}  // namespace

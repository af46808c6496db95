// The motion-value formatter against the C library's "%g".
#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <cstdio>
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

}  // namespace

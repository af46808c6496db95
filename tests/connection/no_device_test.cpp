// While the hook is in place but no device is open (the moments of creation
// between hooking the window and opening the device), the procedure asks
// the driver about every message, sends nothing, and passes it on.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "connection/driver_state.h"
#include "connection/window_proc.h"
#include "standin/winsys/winsys.h"
#include "support/host_fixture.h"

namespace {

std::vector<std::string> sent;
struct Seen {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Seen> seen;

int recordCommand(const char* line) {
  sent.push_back(line);
  return 0;
}

LRESULT layoutProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  seen.push_back({window, message, wParam, lParam});
  return static_cast<LRESULT>(message) + 1000;
}

TEST(NoDevice, MessagesWithGarbageArePassedOnAndNothingIsSent) {
  const std::string driver =
      (testing_support::buildDir() / "drivers/present/libsiappdll.so").string();
  WinsysSetLibraryPath("siappdll", driver.c_str());
  HWND window = WinsysCreateWindow(&layoutProc);
  connection::hostServices.commandFunction = &recordCommand;
  connection::driverState.previousWindowProc = &layoutProc;
  ASSERT_EQ(connection::driverState.deviceHandle, nullptr);
  const UINT deviceMessage = RegisterWindowMessageA("SpaceWareMessage00");
  const Seen messages[] = {
      {window, deviceMessage, 0, 1},
      {window, deviceMessage, ~WPARAM{0}, -1},
      {window, 0xFFFFFFFFu, 12345, 67890},
      {nullptr, 0x0401, 1, 2},
  };
  for (const Seen& m : messages) {
    seen.clear();
    EXPECT_EQ(
        connection::deviceWindowProc(m.window, m.message, m.wParam, m.lParam),
        static_cast<LRESULT>(m.message) + 1000);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].window, m.window);
    EXPECT_EQ(seen[0].message, m.message);
    EXPECT_EQ(seen[0].wParam, m.wParam);
    EXPECT_EQ(seen[0].lParam, m.lParam);
  }
  EXPECT_TRUE(sent.empty());
}

}  // namespace

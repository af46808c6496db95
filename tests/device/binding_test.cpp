// The driver-library binding against the stand-in driver and its broken
// variants, with every library event and driver call in one ordered log.
#include "device/binding.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standin/siappdll/driver_feed.h"
#include "standin/winsys/winsys.h"
#include "support/host_fixture.h"

namespace {

using device::binding;
using device::BindingStatus;

class BindingTest : public ::testing::Test {
 protected:
  // Points "siappdll" at a variant ("" for none) and listens to it.
  void useDriver(const std::string& variant) {
    if (variant.empty()) {
      WinsysSetLibraryPath("siappdll", nullptr);
    } else {
      std::string file =
          (testing_support::buildDir() / "drivers" / variant / "libsiappdll.so")
              .string();
      WinsysSetLibraryPath("siappdll", file.c_str());
      // Our own hold keeps the driver's state across the module's frees.
      driver_ = dlopen(file.c_str(), RTLD_NOW);
      ASSERT_NE(driver_, nullptr) << dlerror();
      auto observe = reinterpret_cast<standin_driver::SetObserverFn>(
          dlsym(driver_, "StandinDriverSetObserver"));
      ASSERT_NE(observe, nullptr);
      observe(&record, &log);
    }
    WinsysSetObserver(&record, &log);
  }

  static void record(const char* event, void* context) {
    static_cast<std::vector<std::string>*>(context)->push_back(event);
  }

  bool logged(const std::string& entry) const {
    return std::find(log.begin(), log.end(), entry) != log.end();
  }

  void TearDown() override { WinsysSetObserver(nullptr, nullptr); }

  std::vector<std::string> log;
  void* driver_ = nullptr;
};

TEST_F(BindingTest, AbsentLibraryGivesEveryFailureValue) {
  useDriver("");
  EXPECT_EQ(device::SiInitialize(), 14);
  EXPECT_EQ(binding.status, BindingStatus::Failed);

  binding.lastDeviceError = 99;
  siapp::SiOpenData open{};
  EXPECT_EQ(device::SiOpen("x", -1, nullptr, 1, &open), nullptr);
  EXPECT_EQ(binding.lastDeviceError, 0);

  struct IntCase {
    const char* name;
    int (*call)();
    int result;
    int error;  // -1: unchanged
  };
  siapp::SiSpwEvent event{};
  static siapp::SiSpwEvent* eventRef = &event;
  const IntCase cases[] = {
      {"SiGetNumDevices", [] { return device::SiGetNumDevices(); }, -1, 8},
      {"SiGetDeviceID", [] { return device::SiGetDeviceID(nullptr); }, -1, 8},
      {"SiDeviceIndex", [] { return device::SiDeviceIndex(0); }, -1, 8},
      {"SiButtonPressed", [] { return device::SiButtonPressed(eventRef); }, -1,
       1},
      {"SiButtonReleased", [] { return device::SiButtonReleased(eventRef); },
       -1, 1},
      {"SiGetEvent",
       [] { return device::SiGetEvent(nullptr, 0, nullptr, eventRef); }, 2, -1},
      {"SiDispatch",
       [] { return device::SiDispatch(nullptr, nullptr, nullptr, nullptr); }, 0,
       -1},
      {"SiClose", [] { return device::SiClose(nullptr); }, 1, -1},
      {"SiIsSpaceWareEvent",
       [] { return device::SiIsSpaceWareEvent(nullptr, nullptr); }, 0, -1},
      {"SiBeep", [] { return device::SiBeep(nullptr, "aAaAc"); }, 2, -1},
      {"SiRezero", [] { return device::SiRezero(nullptr); }, 2, -1},
      {"SiGrabDevice", [] { return device::SiGrabDevice(nullptr, 1); }, 1, -1},
      {"SiReleaseDevice", [] { return device::SiReleaseDevice(nullptr); }, 1,
       -1},
      {"SiSetUiMode", [] { return device::SiSetUiMode(nullptr, -1); }, 1, -1},
      {"SiGetDevicePort",
       [] { return device::SiGetDevicePort(nullptr, nullptr); }, 3, -1},
      {"SiGetDriverInfo", [] { return device::SiGetDriverInfo(nullptr); }, 1,
       -1},
      {"SiGetDeviceInfo",
       [] { return device::SiGetDeviceInfo(nullptr, nullptr); }, 2, -1},
      {"ensureReady", [] { return device::ensureReady(); }, 1, -1},
  };
  for (const IntCase& c : cases) {
    binding.lastDeviceError = 55;
    EXPECT_EQ(c.call(), c.result) << c.name;
    EXPECT_EQ(binding.lastDeviceError, c.error < 0 ? 55 : c.error) << c.name;
  }
  EXPECT_EQ(device::SpwErrorString(0), nullptr);
  device::SiOpenWinInit(&open, nullptr);
  device::SiGetEventWinInit(nullptr, 0, 0, 0);
  device::SiGetLibraryInfo(nullptr);
  log.clear();
  device::SiTerminate();
  // Each call tried to bind again, and SiTerminate freed nothing.
  EXPECT_EQ(log, std::vector<std::string>{"load siappdll failed"});
  EXPECT_EQ(binding.status, BindingStatus::Failed);
}

TEST_F(BindingTest, MissingFunctionFailsAndKeepsTheLibraryLoaded) {
  useDriver("missing-function");
  EXPECT_EQ(device::loadDeviceLibrary(), 2);
  EXPECT_EQ(binding.status, BindingStatus::Failed);
  EXPECT_TRUE(logged("resolve SiBeep missing"));
  // The lookups went on past the miss, to the last export.
  EXPECT_TRUE(logged("resolve SpwErrorString ok"));
  EXPECT_EQ(device::SiInitialize(), 1);
  EXPECT_EQ(device::SiBeep(nullptr, "aAaAc"), 2);
  device::SiTerminate();
  EXPECT_FALSE(logged("initialise"));
  for (const std::string& entry : log)
    EXPECT_NE(entry.rfind("free", 0), 0u) << "library freed: " << entry;
  EXPECT_NE(binding.libraryHandle, nullptr);
}

TEST_F(BindingTest, MissingErrorValueFailsAndIsNeverRead) {
  useDriver("missing-error-value");
  EXPECT_EQ(device::loadDeviceLibrary(), 3);
  EXPECT_EQ(binding.errorValueRef, nullptr);
  EXPECT_EQ(device::SiInitialize(), 1);
  binding.lastDeviceError = 21;
  // Any read of the missing value would fault; none may happen.
  siapp::SiSpwEvent event{};
  EXPECT_EQ(device::SiGetEvent(nullptr, 0, nullptr, &event), 2);
  EXPECT_EQ(device::SiButtonPressed(&event), -1);
  EXPECT_EQ(device::SpwErrorString(3), nullptr);
  device::SiTerminate();
  EXPECT_EQ(binding.lastDeviceError, 1);
}

TEST_F(BindingTest, FirstCallLoadsResolvesInitialisesThenCalls) {
  useDriver("present");
  EXPECT_EQ(binding.status, BindingStatus::Unloaded);
  device::SiBeep(nullptr, "aAaAc");
  ASSERT_GE(log.size(), 28u);
  EXPECT_EQ(log[0], "load siappdll ok");
  EXPECT_EQ(log[1], "resolve SpwErrorVal ok");
  EXPECT_EQ(log[25], "resolve SpwErrorString ok");
  EXPECT_EQ(log[26], "initialise");
  EXPECT_EQ(log[27], "beep aAaAc");
  EXPECT_EQ(binding.status, BindingStatus::Ready);
  // Ready: a call makes no further lookups.
  log.clear();
  device::SiBeep(nullptr, "cAcAf");
  EXPECT_EQ(log, std::vector<std::string>{"beep cAcAf"});
  // The wrapper copied the library's error value (a bad handle here).
  EXPECT_EQ(binding.lastDeviceError, siapp::kBadHandle);
}

TEST_F(BindingTest, TerminateFreesAndTheNextCallLoadsAgain) {
  useDriver("present");
  ASSERT_EQ(device::ensureReady(), 0);
  log.clear();
  device::SiTerminate();
  EXPECT_EQ(log, (std::vector<std::string>{"terminate", "free siappdll"}));
  EXPECT_EQ(binding.status, BindingStatus::Unloaded);
  log.clear();
  EXPECT_EQ(device::SiGetNumDevices(), 1);
  EXPECT_EQ(log.front(), "load siappdll ok");
  EXPECT_EQ(binding.status, BindingStatus::Ready);
}

TEST_F(BindingTest, TerminateWhileUnloadedBindsInitialisesAndFrees) {
  useDriver("present");
  device::SiTerminate();
  std::vector<std::string> calls;
  for (const std::string& entry : log)
    if (entry.rfind("resolve", 0) != 0) calls.push_back(entry);
  EXPECT_EQ(calls, (std::vector<std::string>{"load siappdll ok", "initialise",
                                             "terminate", "free siappdll"}));
  EXPECT_EQ(binding.status, BindingStatus::Unloaded);
}

TEST_F(BindingTest, ErrorStringNeverTouchesLastError) {
  useDriver("present");
  ASSERT_EQ(device::ensureReady(), 0);
  binding.lastDeviceError = 1234;
  EXPECT_STREQ(device::SpwErrorString(2), "bad device handle");
  EXPECT_EQ(binding.lastDeviceError, 1234);
}

}  // namespace

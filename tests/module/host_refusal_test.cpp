// The stand-in host refuses a library that is not a sound plug-in, with a
// clear reason, and never crashes on it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "support/host_fixture.h"

namespace {

using testing_support::buildDir;

struct Refusal {
  const char* library;
  const char* reason;
};

class HostRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(HostRefusal, HostLibraryRefusesWithReason) {
  testing_support::TempDir settings;
  standin::Host::Options options;
  options.modulePath =
      (buildDir() / "bad-modules" / GetParam().library).string();
  options.driverDir = (buildDir() / "drivers").string();
  options.settingsDir = settings.path().string();
  standin::Host host(options);
  std::string why;
  EXPECT_FALSE(host.load(&why));
  EXPECT_NE(why.find(GetParam().reason), std::string::npos) << why;
  EXPECT_FALSE(host.loaded());
}

TEST_P(HostRefusal, LayoutSimExitsNonZeroWithReason) {
  testing_support::TempDir settings;
  std::string command =
      (buildDir() / "bin" / "layout-sim").string() + " --settings " +
      settings.path().string() + " --module " +
      (buildDir() / "bad-modules" / GetParam().library).string() +
      " servers 2>&1";
  std::FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string text;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) text += buffer;
  int status = pclose(pipe);
  ASSERT_TRUE(WIFEXITED(status)) << "layout-sim did not exit normally";
  EXPECT_NE(WEXITSTATUS(status), 0);
  EXPECT_NE(text.find(GetParam().reason), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(
    BadLibraries, HostRefusal,
    ::testing::Values(
        Refusal{"no-descriptor.p", "no module descriptor _mod_descrip"},
        Refusal{"bad-sync.p", "wrong sync word 0x19940412"},
        Refusal{"bad-version.p", "unsupported descriptor version 2"},
        Refusal{"bad-machine.p", "built for another machine"},
        Refusal{"no-terminator.p", "without a terminating row"},
        Refusal{"missing-file.p", "missing-file.p"}),
    [](const auto& info) {
      std::string name = info.param.library;
      name = name.substr(0, name.find('.'));
      for (char& c : name)
        if (c == '-') c = '_';
      return name;
    });

}  // namespace

// A stand-in Layout with the built plug-in loaded, for tests that drive the
// module as Layout and the device would.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "standin/host/host.h"

namespace testing_support {

// The build tree the test was built in (overridable for a moved tree).
inline std::filesystem::path buildDir() {
  const char* dir = std::getenv("VEXA_BUILD_DIR");
  return dir != nullptr ? dir : VEXA_BUILD_DIR;
}

inline std::filesystem::path pluginPath() {
  return buildDir() / "plugin" / "vexa_spaceball.p";
}

// A fresh directory per test, removed afterwards.
class TempDir {
 public:
  TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "vexa-test-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::Host::Options options;
    options.modulePath = pluginPath().string();
    options.driverDir = (buildDir() / "drivers").string();
    options.settingsDir = settings.path().string();
    options.snapshotDir = settings.path().string();
    host = std::make_unique<standin::Host>(options);
    host->output = [this](const std::string& line) { output.push_back(line); };
    host->commandSink = [this](const char* line) { sent.push_back(line); };
    std::string why;
    ASSERT_TRUE(host->load(&why)) << why;
  }

  void TearDown() override { host.reset(); }

  // Lines of the output that start with `prefix`.
  std::vector<std::string> lines(const std::string& prefix) const {
    std::vector<std::string> result;
    for (const std::string& line : output)
      if (line.rfind(prefix, 0) == 0) result.push_back(line);
    return result;
  }

  void writeSettings(const std::string& text) {
    std::FILE* file =
        std::fopen((settings.path() / "DAVidiruziv.cfg").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }

  TempDir settings;
  std::unique_ptr<standin::Host> host;
  std::vector<std::string> output;
  std::vector<std::string> sent;
};

}  // namespace testing_support

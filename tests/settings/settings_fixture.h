// What the settings tests share: a fresh temporary directory per test, a
// fake host whose "Directory Info" answers with it, and file helpers.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace settings_test {

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
bool fileExists(const std::string& path);
// The names in a directory, sorted.
std::vector<std::string> listDirectory(const std::string& directory);

// Non-empty slots of the button command table, by index.
std::map<int, std::string> slotContents();
void fillSlots(const std::map<int, std::string>& contents);
void freeSlots();

// The fake host. hostGlobal answers "Directory Info" (when `serveDirectory`)
// with a function that returns `directoryAnswer` (null when `noDirectory`).
struct FakeHost {
  std::string directoryAnswer;
  bool serveDirectory = true;
  bool noDirectory = false;
  // What the module asked for, most recent last.
  std::vector<std::string> globalsAsked;
  std::vector<int> useCodesGiven;
  std::vector<std::string> directoryKindsAsked;
};
extern FakeHost fakeHost;
void* fakeGlobal(const char* name, int useCode);

// Each test gets its own settings directory, and leaves the module's state
// (slots, flag, host, file system) as it found it.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string settingsPath() const;
  std::string temporaryPath() const;

  std::string directory_;
};

}  // namespace settings_test

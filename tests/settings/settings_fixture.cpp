#include "tests/settings/settings_fixture.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "connection/driver_state.h"
#include "module/host.h"
#include "module/host_global.h"
#include "settings/button_table.h"
#include "settings/file_system.h"
#include "settings/settings_file.h"

namespace settings_test {

FakeHost fakeHost;

namespace {

const char* fakeDirectoryInfo(const char* kind) {
  fakeHost.directoryKindsAsked.emplace_back(kind);
  return fakeHost.noDirectory ? nullptr : fakeHost.directoryAnswer.c_str();
}

}  // namespace

void* fakeGlobal(const char* name, int useCode) {
  fakeHost.globalsAsked.emplace_back(name);
  fakeHost.useCodesGiven.push_back(useCode);
  if (fakeHost.serveDirectory && std::strcmp(name, lw::kDirectoryGlobal) == 0) {
    return reinterpret_cast<void*>(&fakeDirectoryInfo);
  }
  return nullptr;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  out.close();
  ASSERT_TRUE(out) << "could not write " << path;
}

bool fileExists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

std::vector<std::string> listDirectory(const std::string& directory) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry :
       std::filesystem::directory_iterator(directory, error)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::map<int, std::string> slotContents() {
  std::map<int, std::string> contents;
  for (int i = 0; i < settings::kButtonSlots; ++i) {
    const char* text = settings::buttonCommands[static_cast<std::size_t>(i)];
    if (text != nullptr) contents[i] = text;
  }
  return contents;
}

void fillSlots(const std::map<int, std::string>& contents) {
  for (const auto& [index, text] : contents) {
    settings::replaceText(
        settings::buttonCommands[static_cast<std::size_t>(index)],
        text.c_str());
  }
}

void freeSlots() {
  for (char*& slot : settings::buttonCommands) {
    settings::replaceText(slot, nullptr);
  }
}

void SettingsTest::SetUp() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "settings-test-XXXXXX")
          .string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr) << std::strerror(errno);
  directory_ = pattern;
  fakeHost = FakeHost{};
  fakeHost.directoryAnswer = directory_;
  module::hostGlobal = &fakeGlobal;
  settings::fileSystem = settings::kPlatformFileSystem;
  connection::driverState.openConfigOnStartup = 1;
  freeSlots();
}

void SettingsTest::TearDown() {
  freeSlots();
  module::hostGlobal = nullptr;
  settings::fileSystem = settings::kPlatformFileSystem;
  connection::driverState.openConfigOnStartup = 1;
  // Tests may take the write bits away; put them back so it can go.
  std::error_code error;
  std::filesystem::permissions(directory_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, error);
  std::filesystem::remove_all(directory_, error);
}

std::string SettingsTest::settingsPath() const {
  return directory_ + "/" + settings::kSettingsFileName;
}

std::string SettingsTest::temporaryPath() const {
  return settingsPath() + settings::kTemporarySuffix;
}

}  // namespace settings_test

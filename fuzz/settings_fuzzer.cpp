// Writes arbitrary bytes as the settings file and loads it. Beyond what the
// sanitizers catch (out-of-bounds reads and writes, leaks, undefined
// behaviour), it checks what a load must always leave behind, and that a
// state the format can hold survives a save and a second load unchanged.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "connection/driver_state.h"
#include "module/host.h"
#include "module/host_global.h"
#include "settings/button_table.h"
#include "settings/file_system.h"
#include "settings/settings_file.h"

namespace {

// The longest command a "Function" line can give: the reader's line buffer
// less its zero and the blank after the index.
constexpr std::size_t kLongestCommand = 8190;

std::string settingsDirectory;

const char* directoryInfo(const char*) { return settingsDirectory.c_str(); }

void* hostGlobal(const char* name, int) {
  if (std::strcmp(name, lw::kDirectoryGlobal) == 0) {
    return reinterpret_cast<void*>(&directoryInfo);
  }
  return nullptr;
}

// Every save would wait for the disk; durability is not what is fuzzed here.
bool skipFlush(settings::FileHandle) { return true; }

void removeDirectory() {
  std::error_code error;
  std::filesystem::remove_all(settingsDirectory, error);
}

void setUp() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "settings-fuzz-XXXXXX")
          .string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    std::abort();
  }
  settingsDirectory = pattern;
  std::atexit(&removeDirectory);
  module::hostGlobal = &hostGlobal;
  settings::fileSystem.flush = &skipFlush;
}

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "settings fuzzer: %s\n", what);
  std::abort();
}

struct State {
  std::uint8_t flag;
  std::vector<std::string> slots;  // "" for an empty slot
  bool operator==(const State&) const = default;
};

State snapshot() {
  State state{connection::driverState.openConfigOnStartup, {}};
  for (const char* text : settings::buttonCommands) {
    state.slots.emplace_back(text != nullptr ? text : "");
  }
  return state;
}

void freeSlots() {
  for (char*& slot : settings::buttonCommands) {
    settings::replaceText(slot, nullptr);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  static const bool ready = (setUp(), true);
  (void)ready;
  const std::string path = settingsDirectory + settings::kPathSeparator +
                           settings::kSettingsFileName;
  {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data),
               static_cast<std::streamsize>(size));
    if (!file) fail("could not write the input file");
  }

  settings::loadSettings();
  const State loaded = snapshot();
  if (loaded.flag > 1) fail("openConfigOnStartup is neither 0 nor 1");
  bool plain = true;  // no slot holds a line end
  for (std::size_t i = 0; i < loaded.slots.size(); ++i) {
    const char* text = settings::buttonCommands[i];
    if (text != nullptr && text[0] == '\0') fail("a slot holds an empty text");
    if (loaded.slots[i].size() > kLongestCommand) fail("command too long");
    if (loaded.slots[i].find_first_of("\r\n") != std::string::npos) {
      plain = false;
    }
  }

  // A command with a line end in it may come back cut or split: the format
  // cannot hold it. Every other state must survive a save and a load.
  if (plain) {
    settings::saveSettings();
    // The slots are left full: the load has to free what they hold.
    connection::driverState.openConfigOnStartup = loaded.flag == 0 ? 1 : 0;
    settings::loadSettings();
    if (!(snapshot() == loaded)) fail("save and load changed the state");
  }

  freeSlots();
  connection::driverState.openConfigOnStartup = 1;
  return 0;
}

// The settings file at its largest valid size: all 28 slots holding
// commands of 8190 characters, the longest that comes back whole.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "bench/comparisons.h"
#include "connection/driver_state.h"
#include "module/host.h"
#include "module/host_global.h"
#include "settings/button_table.h"
#include "settings/settings_file.h"

namespace {

using bench::Clock;
using bench::Side;
using bench::takeTurns;

constexpr std::size_t kLongestCommand = 8190;

struct Rig {
  bool ready = false;
  std::string why;
  std::string directory;
  std::string file;      // the module's settings file
  std::string contents;  // its bytes, as the module wrote them
  // The baseline's own pair, beside the module's file.
  std::string floorFile;
  std::string floorTemporary;
};

Rig* current = nullptr;

const char* directoryInfo(const char*) { return current->directory.c_str(); }

void* benchGlobal(const char* name, int) {
  if (std::strcmp(name, lw::kDirectoryGlobal) == 0) {
    return reinterpret_cast<void*>(&directoryInfo);
  }
  return nullptr;
}

// Commands as a user might type them, long: Layout words, numbers, blanks.
std::string longCommand(std::mt19937& random) {
  static const char* const kWords[] = {
      "AddPosition", "AddRotation", "0.35",       "-2",    "RenderFrame",
      "Undo",        "90",          "SelectItem", "1e-05", "Scene"};
  std::uniform_int_distribution<int> pick(0, 9);
  std::string command;
  while (command.size() < kLongestCommand) {
    if (!command.empty()) command += ' ';
    command += kWords[pick(random)];
  }
  command.resize(kLongestCommand);
  if (command.back() == ' ') command.back() = 'x';
  return command;
}

std::string readWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A settings directory of its own, and in it the largest file, written by
// the module from a full table so that it is exactly what a save gives.
void setUp(Rig& r) {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "vexa-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    r.why = "no temporary directory";
    return;
  }
  r.directory = pattern;
  r.file = r.directory + "/" + settings::kSettingsFileName;
  r.floorFile = r.directory + "/floor.cfg";
  r.floorTemporary = r.floorFile + ".tmp";

  module::hostGlobal = &benchGlobal;
  std::mt19937 random(4242);
  for (char*& slot : settings::buttonCommands) {
    settings::replaceText(slot, longCommand(random).c_str());
  }
  connection::driverState.openConfigOnStartup = 0;
  settings::saveSettings();
  r.contents = readWhole(r.file);
  // A file that does not load back whole would measure something else.
  settings::loadSettings();
  bool whole = connection::driverState.openConfigOnStartup == 0;
  for (const char* slot : settings::buttonCommands) {
    whole = whole && slot != nullptr && std::strlen(slot) == kLongestCommand;
  }
  if (!whole) {
    r.why = "the largest file did not load back whole";
    return;
  }
  r.ready = true;
}

Rig& rig() {
  if (current == nullptr) {
    current = new Rig;
    setUp(*current);
  }
  return *current;
}

// Loads per turn: enough that reading the clock is lost in the noise.
constexpr int kLoads = 8;

void loadLargest(benchmark::State& state, Clock clock) {
  Rig& r = rig();
  if (!r.ready) return state.SkipWithError(r.why.c_str());
  const Side ours{{}, [] {
                    for (int i = 0; i < kLoads; ++i) {
                      settings::loadSettings();
                      benchmark::DoNotOptimize(settings::buttonCommands[27]);
                    }
                  }};
  const Side baseline{{}, [&] {
                        std::string line;
                        for (int i = 0; i < kLoads; ++i) {
                          std::ifstream in(r.file);
                          std::size_t bytes = 0;
                          while (std::getline(in, line)) {
                            bytes += line.size() + 1;
                          }
                          benchmark::DoNotOptimize(bytes);
                        }
                      }};
  takeTurns(state, clock, kLoads, ours, baseline);
}

// The least a save can do and still never leave a torn file: the whole text
// in one write to a temporary file, pushed to the disk, renamed over the old.
bool saveFloor(const Rig& r) {
  const int fd = ::open(r.floorTemporary.c_str(),
                        O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool written = ::write(fd, r.contents.data(), r.contents.size()) ==
                           static_cast<ssize_t>(r.contents.size()) &&
                       ::fsync(fd) == 0;
  ::close(fd);
  return written &&
         std::rename(r.floorTemporary.c_str(), r.floorFile.c_str()) == 0;
}

void saveLargest(benchmark::State& state, Clock clock) {
  Rig& r = rig();
  if (!r.ready) return state.SkipWithError(r.why.c_str());
  bool floorWritten = true;
  const Side ours{{}, [] { settings::saveSettings(); }};
  const Side baseline{{}, [&] { floorWritten = saveFloor(r) && floorWritten; }};
  takeTurns(state, clock, 1, ours, baseline);
  if (!floorWritten) {
    return state.SkipWithError("the baseline could not write its file");
  }
  if (readWhole(r.file) != r.contents) {
    state.SkipWithError("the save wrote other bytes");
  }
}

}  // namespace

namespace bench {

void registerSettingsBenchmarks() {
  compare("load_settings",
          "loadSettings, largest valid file (28 x 8190 characters)",
          Goal::AtMost, 3.0, Clock::Cpu, loadLargest);
  compare("save_settings", "saveSettings, same state", Goal::AtMost, 1.5,
          Clock::Wall, saveLargest);
}

void cleanUpSettingsBenchmarks() {
  for (char*& slot : settings::buttonCommands) {
    settings::replaceText(slot, nullptr);
  }
  module::hostGlobal = nullptr;
  if (current == nullptr) return;
  if (!current->directory.empty()) {
    std::error_code error;
    std::filesystem::remove_all(current->directory, error);
  }
  delete current;
  current = nullptr;
}

}  // namespace bench

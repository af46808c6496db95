#include "settings/settings_file.h"

#include <iomanip>
#include <istream>
#include <string>
#include <vector>

#include "connection/driver_state.h"
#include "module/host.h"
#include "module/host_global.h"
#include "settings/button_table.h"
#include "settings/file_system.h"
#include "settings/line_text_stream.h"

namespace settings {

namespace {

constexpr const char* kSettingsDirectoryKind = "Settings";
constexpr const char* kMagic = "SBAL";
constexpr int kVersion = 1;
constexpr const char* kOpenConfigKey = "OpenConfigOnStartup";
constexpr const char* kFunctionKey = "Function";

// A "Function" line's rest is read into this many bytes, zero included, so a
// command of up to kLineCapacity - 2 characters comes back whole.
constexpr int kLineCapacity = 8192;
// Words up to this length are compared with the keys; a longer one is
// consumed whole and cannot be a key.
constexpr std::streamsize kLongestWord = kLineCapacity - 1;

// Without the host's directory service the file is looked for where a
// missing directory would put it: right under the root.
std::string settingsFilePath() {
  const char* directory = nullptr;
  if (module::hostGlobal != nullptr) {
    auto directoryInfo = reinterpret_cast<lw::DirectoryFunc>(
        module::hostGlobal(lw::kDirectoryGlobal, lw::kGlobalTransient));
    if (directoryInfo != nullptr) {
      directory = directoryInfo(kSettingsDirectoryKind);
    }
  }
  std::string path = directory != nullptr ? directory : "";
  path += kPathSeparator;
  path += kSettingsFileName;
  return path;
}

// The whitespace of the classic locale, which word extraction stops at.
bool isSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

// False when only whitespace is left or the stream is failed.
bool readWord(std::istream& in, std::string& word) {
  in >> std::setw(kLongestWord) >> word;
  if (in.fail()) return false;
  if (static_cast<std::streamsize>(word.size()) == kLongestWord) {
    // The word may go on: its tail must not be read as a word of its own.
    while (true) {
      const int next = in.peek();
      if (next == std::istream::traits_type::eof() || isSpace(next)) break;
      in.ignore();
    }
  }
  return true;
}

// False only when the file ends before the integer. A value that is not a
// number still counts (as 0) and leaves the stream failed, which ends the
// loading at the next word.
bool readInteger(std::istream& in, int& value) {
  in >> value;
  return !(in.fail() && in.eof());
}

void load() {
  // Texts left from a creation that failed after loading would otherwise
  // leak here.
  for (char*& slot : buttonCommands) replaceText(slot, nullptr);
  connection::driverState.openConfigOnStartup = 1;

  LineTextReader reader(settingsFilePath(), kOpenInput, kDefaultProtection);
  if (reader.fail()) return;
  // A file without any line end leaves the stream failed: nothing loads.
  reader.detectLineEnding();

  std::string word;
  if (!readWord(reader, word) || word != kMagic) return;
  int version = 0;
  reader >> version;
  if (reader.fail() || version != kVersion) return;

  std::vector<char> line(kLineCapacity);
  while (readWord(reader, word)) {
    if (word == kOpenConfigKey) {
      int value = 0;
      if (!readInteger(reader, value)) return;
      connection::driverState.openConfigOnStartup = value == 1 ? 1 : 0;
    } else if (word == kFunctionKey) {
      int index = 0;
      if (!readInteger(reader, index)) return;
      const char* text =
          reader.readLine(line.data(), kLineCapacity, kRecordedEnding);
      // The first character is the blank between the index and the command.
      const char* command = text[0] == '\0' ? text : text + 1;
      if (index >= 0 && index < kButtonSlots) {
        replaceText(buttonCommands[static_cast<std::size_t>(index)], command);
      }
    }
    if (reader.eof()) return;
  }
}

std::string format() {
  const char* end = lineEndingText(CrLf);
  std::string text;
  text.append(kMagic).append(" ").append(std::to_string(kVersion)).append(end);
  text.append(kOpenConfigKey)
      .append(" ")
      .append(std::to_string(connection::driverState.openConfigOnStartup))
      .append(end);
  for (int i = 0; i < kButtonSlots; ++i) {
    const char* command = buttonCommands[static_cast<std::size_t>(i)];
    if (command == nullptr) continue;
    text.append(kFunctionKey)
        .append(" ")
        .append(std::to_string(i))
        .append(" ")
        .append(command)
        .append(end);
  }
  return text;
}

}  // namespace

// Both run inside host callbacks: no exception (a failed allocation, a
// stream error) may leave them. What was loaded before one stays.
void loadSettings() {
  try {
    load();
  } catch (...) {
  }
}

void saveSettings() {
  try {
    replaceFileContents(settingsFilePath(), format(), kDefaultProtection);
  } catch (...) {
  }
}

}  // namespace settings

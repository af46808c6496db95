#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "connection/driver_state.h"
#include "module/host_global.h"
#include "settings/button_table.h"
#include "settings/file_system.h"
#include "tests/settings/settings_fixture.h"

// Array allocations are counted so that a test can tell whether the loader
// freed the texts it found in the slots. The slots' texts are char arrays.
namespace {
bool trackingFrees = false;
void* freed[64];
int freedCount = 0;

void noteFree(void* pointer) {
  if (trackingFrees && pointer != nullptr && freedCount < 64) {
    freed[freedCount++] = pointer;
  }
}
}  // namespace

void* operator new[](std::size_t size) {
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size == 0 ? 1 : size);
}
void operator delete[](void* block) noexcept {
  noteFree(block);
  std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  noteFree(block);
  std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
  noteFree(block);
  std::free(block);
}

namespace settings_test {
namespace {

using Slots = std::map<int, std::string>;
using connection::driverState;
using settings::loadSettings;
using settings::saveSettings;

class SettingsFileTest : public SettingsTest {};

TEST_F(SettingsFileTest, SaveWritesTheWorkedExampleByteForByte) {
  driverState.openConfigOnStartup = 0;
  fillSlots({{0, "RenderFrame"}, {11, "AddRotation 0 90 0"}});
  saveSettings();
  EXPECT_EQ(readFile(settingsPath()),
            "SBAL 1\r\n"
            "OpenConfigOnStartup 0\r\n"
            "Function 0 RenderFrame\r\n"
            "Function 11 AddRotation 0 90 0\r\n");
  // Saving changes nothing in memory.
  EXPECT_EQ(driverState.openConfigOnStartup, 0);
  EXPECT_EQ(slotContents(),
            (Slots{{0, "RenderFrame"}, {11, "AddRotation 0 90 0"}}));
  EXPECT_EQ(listDirectory(directory_),
            std::vector<std::string>{settings::kSettingsFileName});
}

TEST_F(SettingsFileTest, SaveWithEverySlotEmptyWritesTheTwoHeaderLines) {
  writeFile(settingsPath(), "SBAL 1\r\nFunction 3 old\r\n");
  saveSettings();
  EXPECT_EQ(readFile(settingsPath()), "SBAL 1\r\nOpenConfigOnStartup 1\r\n");
}

TEST_F(SettingsFileTest, SaveThenLoadGivesBackTheSameState) {
  struct Case {
    const char* name;
    std::uint8_t flag;
    Slots slots;
  };
  Slots everySlot;
  for (int i = 0; i < settings::kButtonSlots; ++i) {
    everySlot[i] = "Command " + std::to_string(i);
  }
  const Case cases[] = {
      {"flag 0, no slots", 0, {}},
      {"flag 1, no slots", 1, {}},
      {"worked example", 0, {{0, "RenderFrame"}, {11, "AddRotation 0 90 0"}}},
      {"leading and trailing blanks",
       1,
       {{1, "  lead"}, {2, "trail  "}, {3, " both "}, {4, "\ttab\t"}}},
      {"one character", 0, {{27, "x"}}},
      {"lone LF and lone CR", 1, {{5, "a\nb"}, {6, "c\rd"}, {7, "\r"}}},
      {"key words inside a command",
       0,
       {{8, "Function 9 x OpenConfigOnStartup 0"}}},
      {"longest command", 1, {{9, std::string(8190, 'k')}}},
      {"every slot", 0, everySlot},
  };
  for (const Case& c : cases) {
    freeSlots();
    driverState.openConfigOnStartup = c.flag;
    fillSlots(c.slots);
    saveSettings();
    freeSlots();
    driverState.openConfigOnStartup = c.flag == 0 ? 1 : 0;
    loadSettings();
    EXPECT_EQ(driverState.openConfigOnStartup, c.flag) << c.name;
    EXPECT_EQ(slotContents(), c.slots) << c.name;
  }
}

TEST_F(SettingsFileTest, LoadReadsHandWrittenFilesAsTheFormatSays) {
  struct Case {
    const char* name;
    std::string file;
    std::uint8_t flag;
    Slots slots;
  };
  const std::string longA(8190, 'a');
  const Case cases[] = {
      {"LF throughout",
       "SBAL 1\nOpenConfigOnStartup 0\nFunction 0 RenderFrame\n"
       "Function 11 AddRotation 0 90 0\n",
       0,
       {{0, "RenderFrame"}, {11, "AddRotation 0 90 0"}}},
      {"CR only",
       "SBAL 1\rOpenConfigOnStartup 0\rFunction 0 RenderFrame\r"
       "Function 11 AddRotation 0 90 0\r",
       0,
       {{0, "RenderFrame"}, {11, "AddRotation 0 90 0"}}},
      {"first line LF, then CR LF: commands end in CR",
       "SBAL 1\nFunction 2 a b\r\nFunction 3 c\r\n",
       1,
       {{2, "a b\r"}, {3, "c\r"}}},
      {"first line CR LF, then a lone LF: the command runs on",
       "SBAL 1\r\nFunction 2 a\nFunction 3 b\r\nFunction 4 c\r\n",
       1,
       {{2, "a\nFunction 3 b"}, {4, "c"}}},
      {"no line end at all",
       "SBAL 1 OpenConfigOnStartup 0 Function 1 x",
       1,
       {}},
      {"last line without its ending",
       "SBAL 1\r\nOpenConfigOnStartup 0\r\nFunction 5 last",
       0,
       {{5, "last"}}},
      {"empty file", "", 1, {}},
      {"first line end is a CR that ends the file", "SBAL 1\r", 1, {}},
      {"header split over lines",
       "SBAL\r\n1\r\nFunction 0 x\r\n",
       1,
       {{0, "x"}}},
      {"magic word in lower case",
       "sbal 1\r\nOpenConfigOnStartup 0\r\n",
       1,
       {}},
      {"magic word with more after it",
       "SBALL 1\r\nOpenConfigOnStartup 0\r\n",
       1,
       {}},
      {"version 2",
       "SBAL 2\r\nOpenConfigOnStartup 0\r\nFunction 0 x\r\n",
       1,
       {}},
      {"version missing", "SBAL\r\nOpenConfigOnStartup 0\r\n", 1, {}},
      {"entries on the header's line",
       "SBAL 1 OpenConfigOnStartup 0\r\n",
       0,
       {}},
      {"blank lines", "SBAL 1\r\n\r\n\r\nFunction 1 x\r\n\r\n", 1, {{1, "x"}}},
      {"non-key words skipped one by one",
       "SBAL 1\r\nhello Function 3 x\r\n",
       1,
       {{3, "x"}}},
      {"tab after the index", "SBAL 1\r\nFunction 3\tx\r\n", 1, {{3, "x"}}},
      {"two blanks after the index",
       "SBAL 1\r\nFunction 3  x\r\n",
       1,
       {{3, " x"}}},
      {"no separator after the index",
       "SBAL 1\r\nFunction 3xyz\r\n",
       1,
       {{3, "yz"}}},
      {"indices 28 and -1 are ignored",
       "SBAL 1\r\nFunction 28 x\r\nFunction -1 y\r\nFunction 4 z\r\n",
       1,
       {{4, "z"}}},
      {"empty command empties the slot",
       "SBAL 1\r\nFunction 6 x\r\nFunction 6\r\nFunction 7 y\r\n",
       1,
       {{7, "y"}}},
      {"OpenConfigOnStartup 2 clears the flag",
       "SBAL 1\r\nOpenConfigOnStartup 2\r\n",
       0,
       {}},
      {"OpenConfigOnStartup not a number ends the loading",
       "SBAL 1\r\nFunction 1 x\r\nOpenConfigOnStartup yes\r\nFunction 2 y\r\n",
       0,
       {{1, "x"}}},
      {"OpenConfigOnStartup at the end of the file",
       "SBAL 1\r\nOpenConfigOnStartup 0\r\nOpenConfigOnStartup",
       0,
       {}},
      {"index not a number empties slot 0 and ends the loading",
       "SBAL 1\r\nFunction 0 keep\r\nFunction x y\r\nFunction 1 z\r\n",
       1,
       {}},
      {"Function at the end of the file",
       "SBAL 1\r\nFunction 1 x\r\nFunction",
       1,
       {{1, "x"}}},
      {"repeated keys: the later wins",
       "SBAL 1\r\nOpenConfigOnStartup 0\r\nFunction 2 a\r\n"
       "OpenConfigOnStartup 1\r\nFunction 2 b\r\n",
       1,
       {{2, "b"}}},
      {"over-long Function line: the rest is read as words",
       "SBAL 1\r\nFunction 7 " + longA + " Function 8 tail\r\n",
       1,
       {{7, longA}, {8, "tail"}}},
      {"word of 100 000 characters is skipped",
       "SBAL 1\r\n" + std::string(100000, 'w') + " Function 1 x\r\n",
       1,
       {{1, "x"}}},
      // 12 times the reader's word length, so a reader that cut long words
      // into pieces would see the key as a word of its own.
      {"a key at the end of an over-long word is no key",
       "SBAL 1\r\n" + std::string(8191 * 12, 'w') +
           "Function 1 y\r\nFunction 2 z\r\n",
       1,
       {{2, "z"}}},
      {"a flag key at the end of an over-long word is no key",
       "SBAL 1\r\n" + std::string(8191 * 12, 'w') + "OpenConfigOnStartup 0\r\n",
       1,
       {}},
      {"over-long magic word", std::string(100000, 'S') + " 1\r\n", 1, {}},
  };
  for (const Case& c : cases) {
    writeFile(settingsPath(), c.file);
    // What memory held before must not survive the load.
    freeSlots();
    fillSlots({{27, "stale"}});
    driverState.openConfigOnStartup = 0;
    loadSettings();
    EXPECT_EQ(driverState.openConfigOnStartup, c.flag) << c.name;
    EXPECT_EQ(slotContents(), c.slots) << c.name;
  }
}

TEST_F(SettingsFileTest, CommandWithCrLfIsWrittenUnchangedAndEndsThereOnLoad) {
  fillSlots({{0, "a\r\nFunction 5 b"}});
  saveSettings();
  EXPECT_EQ(
      readFile(settingsPath()),
      "SBAL 1\r\nOpenConfigOnStartup 1\r\nFunction 0 a\r\nFunction 5 b\r\n");
  loadSettings();
  EXPECT_EQ(slotContents(), (Slots{{0, "a"}, {5, "b"}}));
}

TEST_F(SettingsFileTest, LoadOfAMissingFileGivesDefaultsAndLeavesItEmpty) {
  driverState.openConfigOnStartup = 0;
  loadSettings();
  EXPECT_EQ(driverState.openConfigOnStartup, 1);
  EXPECT_TRUE(slotContents().empty());
  ASSERT_TRUE(fileExists(settingsPath()));
  EXPECT_EQ(readFile(settingsPath()), "");
}

TEST_F(SettingsFileTest, LoadFreesTextsLeftInTheSlots) {
  fillSlots({{0, "left"}, {27, "over"}});
  void* left = settings::buttonCommands[0];
  void* over = settings::buttonCommands[27];
  writeFile(settingsPath(), "SBAL 1\r\nFunction 0 new\r\n");
  freedCount = 0;
  trackingFrees = true;
  loadSettings();
  trackingFrees = false;
  const auto wasFreed = [](void* pointer) {
    for (int i = 0; i < freedCount; ++i) {
      if (freed[i] == pointer) return true;
    }
    return false;
  };
  EXPECT_TRUE(wasFreed(left));
  EXPECT_TRUE(wasFreed(over));
  EXPECT_EQ(slotContents(), (Slots{{0, "new"}}));
}

TEST_F(SettingsFileTest, LoadOfADirectoryInPlaceOfTheFileGivesDefaults) {
  ASSERT_TRUE(std::filesystem::create_directory(settingsPath()));
  fillSlots({{3, "stale"}});
  driverState.openConfigOnStartup = 0;
  loadSettings();
  EXPECT_EQ(driverState.openConfigOnStartup, 1);
  EXPECT_TRUE(slotContents().empty());
}

// Where each operation looks for the file, seen through the file system seam;
// nothing is read or written there.
std::vector<std::string> pathsTouched;
settings::FileHandle recordCreate(const char* path, int) {
  pathsTouched.emplace_back(path);
  return settings::kNoFile;
}
bool recordMayOverwrite(const char* path) {
  pathsTouched.emplace_back(path);
  return false;
}

TEST_F(SettingsFileTest, PathIsTheSettingsDirectoryAndTheFileName) {
  struct Case {
    const char* name;
    bool haveGlobal;
    bool serveDirectory;
    bool noDirectory;
    std::string directory;
    std::string path;
  };
  const std::string longDirectory = "/" + std::string(10000, 'd');
  const Case cases[] = {
      {"directory given", true, true, false, "/some/dir",
       "/some/dir/DAVidiruziv.cfg"},
      {"no separator added or removed", true, true, false, "/some/dir/",
       "/some/dir//DAVidiruziv.cfg"},
      {"directory of 10 000 characters", true, true, false, longDirectory,
       longDirectory + "/DAVidiruziv.cfg"},
      {"directory function gives none", true, true, true, "",
       "/DAVidiruziv.cfg"},
      {"no Directory Info service", true, false, false, "", "/DAVidiruziv.cfg"},
      {"no global lookup at all", false, false, false, "", "/DAVidiruziv.cfg"},
  };
  settings::fileSystem.createNew = &recordCreate;
  settings::fileSystem.mayOverwrite = &recordMayOverwrite;
  for (const Case& c : cases) {
    fakeHost = FakeHost{};
    fakeHost.directoryAnswer = c.directory;
    fakeHost.serveDirectory = c.serveDirectory;
    fakeHost.noDirectory = c.noDirectory;
    module::hostGlobal = c.haveGlobal ? &fakeGlobal : nullptr;
    pathsTouched.clear();
    loadSettings();
    saveSettings();
    EXPECT_EQ(pathsTouched, (std::vector<std::string>{c.path, c.path}))
        << c.name;
    if (c.haveGlobal) {
      EXPECT_EQ(fakeHost.globalsAsked,
                (std::vector<std::string>{"Directory Info", "Directory Info"}))
          << c.name;
      EXPECT_EQ(fakeHost.useCodesGiven, (std::vector<int>{0, 0})) << c.name;
    }
    if (c.serveDirectory) {
      EXPECT_EQ(fakeHost.directoryKindsAsked,
                (std::vector<std::string>{"Settings", "Settings"}))
          << c.name;
    }
  }
}

TEST_F(SettingsFileTest, ALongSettingsDirectoryWorksForSaveAndLoad) {
  std::string deep = directory_;
  for (int i = 0; i < 4; ++i) deep += "/" + std::string(200, 'a' + i);
  ASSERT_TRUE(std::filesystem::create_directories(deep));
  ASSERT_GT(deep.size(), 800u);
  fakeHost.directoryAnswer = deep;
  driverState.openConfigOnStartup = 0;
  fillSlots({{4, "deep"}});
  saveSettings();
  EXPECT_EQ(readFile(deep + "/DAVidiruziv.cfg"),
            "SBAL 1\r\nOpenConfigOnStartup 0\r\nFunction 4 deep\r\n");
  freeSlots();
  driverState.openConfigOnStartup = 1;
  loadSettings();
  EXPECT_EQ(driverState.openConfigOnStartup, 0);
  EXPECT_EQ(slotContents(), (Slots{{4, "deep"}}));
}

}  // namespace
}  // namespace settings_test

// A save that cannot complete must leave the old settings file exactly as it
// was and no temporary file behind. Each fault is made through the file
// system seam, and the ones a test machine can produce for real are made
// for real too.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "connection/driver_state.h"
#include "settings/file_system.h"
#include "settings/settings_file.h"
#include "tests/settings/settings_fixture.h"

namespace settings_test {
namespace {

using connection::driverState;
using settings::FileHandle;
using settings::fileSystem;
using settings::kPlatformFileSystem;
using Slots = std::map<int, std::string>;

const std::string kOldFile =
    "SBAL 1\r\nOpenConfigOnStartup 1\r\nFunction 0 old command\r\n";
const std::string kNewFile =
    "SBAL 1\r\nOpenConfigOnStartup 0\r\nFunction 2 new command\r\n"
    "Function 20 another new command\r\n";

class SaveFaultTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    writeFile(settingsPath(), kOldFile);
    driverState.openConfigOnStartup = 0;
    fillSlots(kNewSlots);
  }

  void expectOldFileIntact(const char* name) {
    EXPECT_EQ(readFile(settingsPath()), kOldFile) << name;
    EXPECT_EQ(listDirectory(directory_),
              std::vector<std::string>{settings::kSettingsFileName})
        << name << ": the temporary file was left behind";
    EXPECT_EQ(driverState.openConfigOnStartup, 0) << name;
    EXPECT_EQ(slotContents(), kNewSlots) << name;
  }

  const Slots kNewSlots{{2, "new command"}, {20, "another new command"}};
};

// The seam's faults, each counted when it strikes. Function pointers cannot
// capture, so the faulty calls share these counters.
int faultsMade = 0;
std::size_t bytesAllowed = 0;

FileHandle failCreate(const char*, int) {
  ++faultsMade;
  return settings::kNoFile;
}
bool refuseOverwrite(const char*) {
  ++faultsMade;
  return false;
}
std::ptrdiff_t failWrite(FileHandle, const char*, std::size_t) {
  ++faultsMade;
  return -1;
}
// Gives up with an error only after many calls, so a save that kept trying
// shows up as more than one fault rather than as a hang.
std::ptrdiff_t writeNothing(FileHandle, const char*, std::size_t) {
  ++faultsMade;
  return faultsMade < 100 ? 0 : -1;
}
// Writes until bytesAllowed are used up, then fails.
std::ptrdiff_t failWritePartWay(FileHandle file, const char* data,
                                std::size_t size) {
  if (bytesAllowed == 0) {
    ++faultsMade;
    return -1;
  }
  std::size_t chunk = size < bytesAllowed ? size : bytesAllowed;
  std::ptrdiff_t written = kPlatformFileSystem.write(file, data, chunk);
  if (written > 0) bytesAllowed -= static_cast<std::size_t>(written);
  return written;
}
bool failFlush(FileHandle) {
  ++faultsMade;
  return false;
}
bool failClose(FileHandle file) {
  ++faultsMade;
  kPlatformFileSystem.close(file);
  return false;
}
bool failReplace(const char*, const char*) {
  ++faultsMade;
  return false;
}

TEST_F(SaveFaultTest, EveryFailingStepLeavesTheOldFileAndNoTemporaryFile) {
  struct Case {
    const char* name;
    std::function<void()> breakIt;
  };
  const Case cases[] = {
      {"old file read-only",
       [] { fileSystem.mayOverwrite = &refuseOverwrite; }},
      {"temporary file cannot be created (directory read-only)",
       [] { fileSystem.createNew = &failCreate; }},
      {"first write fails", [] { fileSystem.write = &failWrite; }},
      {"write fails part-way",
       [] {
         bytesAllowed = 20;
         fileSystem.write = &failWritePartWay;
       }},
      {"write makes no progress", [] { fileSystem.write = &writeNothing; }},
      {"flush to disk fails", [] { fileSystem.flush = &failFlush; }},
      {"close fails", [] { fileSystem.close = &failClose; }},
      {"rename over the old file fails",
       [] { fileSystem.replace = &failReplace; }},
  };
  for (const Case& c : cases) {
    fileSystem = kPlatformFileSystem;
    faultsMade = 0;
    c.breakIt();
    settings::saveSettings();
    fileSystem = kPlatformFileSystem;
    // Reached, and not tried again.
    EXPECT_EQ(faultsMade, 1) << c.name;
    expectOldFileIntact(c.name);
  }
  // With nothing broken the same save goes through.
  settings::saveSettings();
  EXPECT_EQ(readFile(settingsPath()), kNewFile);
}

std::ptrdiff_t writeThreeBytes(FileHandle file, const char* data,
                               std::size_t size) {
  ++faultsMade;
  return kPlatformFileSystem.write(file, data, size < 3 ? size : 3);
}

TEST_F(SaveFaultTest, ShortWritesAreCarriedOnToTheEnd) {
  faultsMade = 0;
  fileSystem.write = &writeThreeBytes;
  settings::saveSettings();
  EXPECT_GT(faultsMade, static_cast<int>(kNewFile.size() / 3) - 1);
  EXPECT_EQ(readFile(settingsPath()), kNewFile);
}

// The moment the new file is moved into place, the old one must still be
// whole and the new one complete beside it.
std::string seenAtReplace;
std::string seenBesideAtReplace;
std::string replacedPath;
bool observeReplace(const char* from, const char* to) {
  seenAtReplace = readFile(to);
  seenBesideAtReplace = readFile(from);
  replacedPath = to;
  return kPlatformFileSystem.replace(from, to);
}

TEST_F(SaveFaultTest, TheOldFileIsWholeUntilTheNewOneReplacesIt) {
  fileSystem.replace = &observeReplace;
  settings::saveSettings();
  EXPECT_EQ(replacedPath, settingsPath());
  EXPECT_EQ(seenAtReplace, kOldFile);
  EXPECT_EQ(seenBesideAtReplace, kNewFile);
  EXPECT_EQ(readFile(settingsPath()), kNewFile);
  EXPECT_EQ(listDirectory(directory_),
            std::vector<std::string>{settings::kSettingsFileName});
}

TEST_F(SaveFaultTest, ALeftoverTemporaryFileDoesNotStopTheSave) {
  writeFile(temporaryPath(), "cut off");
  ASSERT_EQ(::chmod(temporaryPath().c_str(), 0444), 0);
  settings::saveSettings();
  EXPECT_EQ(readFile(settingsPath()), kNewFile);
  EXPECT_FALSE(fileExists(temporaryPath()));
}

TEST_F(SaveFaultTest, MissingDirectoryCreatesNothing) {
  fakeHost.directoryAnswer = directory_ + "/absent";
  settings::saveSettings();
  EXPECT_FALSE(fileExists(directory_ + "/absent"));
  expectOldFileIntact("missing directory");
}

TEST_F(SaveFaultTest, ADirectoryInPlaceOfTheFileIsLeftAlone) {
  std::filesystem::remove(settingsPath());
  ASSERT_TRUE(std::filesystem::create_directory(settingsPath()));
  writeFile(settingsPath() + "/inside", "kept");
  settings::saveSettings();
  EXPECT_EQ(readFile(settingsPath() + "/inside"), "kept");
  EXPECT_EQ(listDirectory(directory_),
            std::vector<std::string>{settings::kSettingsFileName});
}

// Runs `save` in a child process and returns its exit status; `prepare` runs
// in the child first. 77 from the child means the fault cannot be made here.
int inChild(const std::function<int()>& prepare) {
  pid_t child = ::fork();
  if (child == 0) {
    int status = prepare();
    if (status != 0) ::_exit(status);
    settings::saveSettings();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Root writes whatever the permission bits say; a child that gives up root
// is held to them.
int dropRoot() {
  if (::geteuid() != 0) return 0;
  constexpr uid_t kNobody = 65534;
  if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) return 77;
  return 0;
}

TEST_F(SaveFaultTest, ReadOnlyFileIsNotReplaced) {
  // A writable directory, so only the file's own bits can stop the rename.
  ASSERT_EQ(::chmod(directory_.c_str(), 0777), 0);
  ASSERT_EQ(::chmod(settingsPath().c_str(), 0444), 0);
  const std::string path = settingsPath();
  int status = inChild([&path] {
    int dropped = dropRoot();
    if (dropped != 0) return dropped;
    return ::access(path.c_str(), W_OK) == 0 ? 77 : 0;
  });
  if (status == 77) {
    GTEST_SKIP() << "cannot lose write access to a read-only file here; "
                    "EveryFailingStepLeavesTheOldFileAndNoTemporaryFile "
                    "covers it through the seam";
  }
  ASSERT_EQ(status, 0);
  expectOldFileIntact("read-only file");
}

TEST_F(SaveFaultTest, ReadOnlyDirectoryKeepsTheOldFile) {
  // The file itself may be written; only the directory is read-only.
  ASSERT_EQ(::chmod(settingsPath().c_str(), 0666), 0);
  ASSERT_EQ(::chmod(directory_.c_str(), 0555), 0);
  const std::string directory = directory_;
  int status = inChild([&directory] {
    int dropped = dropRoot();
    if (dropped != 0) return dropped;
    return ::access(directory.c_str(), W_OK) == 0 ? 77 : 0;
  });
  ASSERT_EQ(::chmod(directory_.c_str(), 0700), 0);
  if (status == 77) {
    GTEST_SKIP() << "cannot lose write access to a read-only directory here; "
                    "EveryFailingStepLeavesTheOldFileAndNoTemporaryFile "
                    "covers it through the seam";
  }
  ASSERT_EQ(status, 0);
  ASSERT_EQ(::chmod(settingsPath().c_str(), 0644), 0);
  expectOldFileIntact("read-only directory");
}

TEST_F(SaveFaultTest, WriteFailingPartWayUnderAFileSizeLimit) {
  // Commands long enough that the new file cannot fit under the limit.
  fillSlots({{2, std::string(300, 'n')}});
  const rlim_t kLimit = 64;
  int status = inChild([kLimit] {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{kLimit, kLimit};
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 ? 0 : 77;
  });
  ASSERT_EQ(status, 0) << "could not set the file size limit";
  EXPECT_EQ(readFile(settingsPath()), kOldFile);
  EXPECT_EQ(listDirectory(directory_),
            std::vector<std::string>{settings::kSettingsFileName});
  // Without the limit the same save fits.
  settings::saveSettings();
  EXPECT_EQ(readFile(settingsPath()),
            "SBAL 1\r\nOpenConfigOnStartup 0\r\nFunction 2 " +
                std::string(300, 'n') +
                "\r\nFunction 20 another new command\r\n");
}

}  // namespace
}  // namespace settings_test

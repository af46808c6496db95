// Under Windows (Wine here): the host's choice of driver variant decides
// what the real LoadLibraryA finds for the bare name "siappdll", the name the
// module loads, and "no driver" makes the name unloadable. Runs before any
// host holds a driver, so the loader searches rather than reusing a loaded
// library. Exits non-zero on any failure.
#include <cstdio>
#include <filesystem>
#include <string>

#include "standin/host/system.h"
#include "windows/checks.h"

namespace {

namespace fs = std::filesystem;

using windows_tests::Checks;

std::string fileOf(HMODULE library) {
  char path[MAX_PATH * 4] = {};
  GetModuleFileNameA(library, path, sizeof path);
  return path;
}

// Both paths as the file system sees them, so "Z:\x\..\y" and "Z:\y" agree.
bool sameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return fs::equivalent(a, b, error) && !error;
}

}  // namespace

int main() {
  Checks checks;
  const fs::path drivers =
      fs::path(standin::sys::executableDir()) / ".." / "drivers";
  // Twice through the variants: a choice must also undo the one before it.
  const char* const variants[] = {
      "present", "missing-function", "missing-error-value", "", "present", ""};
  for (const char* variant : variants) {
    const std::string name = *variant != '\0' ? variant : "(no driver)";
    const std::string file = *variant != '\0'
                                 ? standin::sys::libraryFile(
                                       (drivers / variant).string(), "siappdll")
                                 : "";
    standin::sys::chooseDeviceLibrary(file);
    HMODULE library = LoadLibraryA("siappdll");
    if (file.empty()) {
      checks.check(library == nullptr,
                   name + ": \"siappdll\" is found nowhere, yet loaded " +
                       (library != nullptr ? fileOf(library) : ""));
    } else {
      checks.check(library != nullptr && sameFile(fileOf(library), file),
                   name + ": \"siappdll\" is " + file + ", loaded " +
                       (library != nullptr ? fileOf(library) : "nothing"));
      const bool hasBeep =
          library != nullptr && GetProcAddress(library, "SiBeep") != nullptr;
      const bool hasError = library != nullptr &&
                            GetProcAddress(library, "SpwErrorVal") != nullptr;
      checks.check(hasBeep == (name != "missing-function"),
                   name + ": SiBeep is there exactly when it should be");
      checks.check(hasError == (name != "missing-error-value"),
                   name + ": SpwErrorVal is there exactly when it should be");
    }
    if (library != nullptr) FreeLibrary(library);
  }
  return checks.finish();
}

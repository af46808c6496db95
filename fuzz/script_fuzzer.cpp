// Arbitrary text as a layout-sim script, line by line, against the built
// plug-in: the reader must refuse what it cannot read and never crash,
// whatever the lines make the host and the plug-in do.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "standin/host/script.h"

namespace {

// Lines that would reach outside the fuzzer's scratch directory: snapshot
// names any file, and without the directory service the plug-in keeps its
// settings at the root of the file system.
bool outsideSandbox(const std::string& line) {
  std::istringstream words(line);
  std::string verb, what;
  words >> verb >> what;
  return verb == "snapshot" ||
         ((verb == "withhold" || verb == "provide") && what == "directory");
}

struct Session {
  std::ostringstream sink;
  std::unique_ptr<standin::Host> host;
  std::unique_ptr<standin::ScriptRunner> runner;

  Session() {
    const char* build = std::getenv("VEXA_BUILD_DIR");
    std::filesystem::path dir = build != nullptr ? build : VEXA_BUILD_DIR;
    std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / "script-fuzz-settings";
    std::filesystem::create_directories(scratch);
    standin::Host::Options options;
    options.modulePath = (dir / "plugin" / "vexa_spaceball.p").string();
    options.driverDir = (dir / "drivers").string();
    options.settingsDir = scratch.string();
    options.snapshotDir = scratch.string();
    host = std::make_unique<standin::Host>(options);
    std::string why;
    if (!host->load(&why)) std::abort();
    runner = std::make_unique<standin::ScriptRunner>(*host, sink);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  static Session session;
  std::istringstream script(
      std::string(reinterpret_cast<const char*>(data), size));
  std::string why;
  for (std::string line; std::getline(script, line);) {
    if (outsideSandbox(line)) continue;
    session.runner->execute(line, &why);
  }
  session.sink.str("");
  return 0;
}

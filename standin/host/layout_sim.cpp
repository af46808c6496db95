// layout-sim: the stand-in Layout host as a program.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "standin/host/demo_script.h"
#include "standin/host/script.h"
#include "standin/host/system.h"

namespace {

namespace fs = std::filesystem;

std::string defaultSettingsDir() {
#if defined(_WIN32)
  const char* base = std::getenv("APPDATA");
  fs::path dir = base != nullptr ? fs::path(base) : fs::temp_directory_path();
#else
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  fs::path dir = config != nullptr && *config != '\0' ? fs::path(config)
                 : home != nullptr ? fs::path(home) / ".config"
                                   : fs::temp_directory_path();
#endif
  return (dir / "vexa-spaceball").string();
}

int usage(const std::string& problem) {
  std::cerr << "layout-sim: " << problem << "\n"
            << "Try 'layout-sim --help'.\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path home = standin::sys::executableDir();
  standin::Host::Options options;
  options.modulePath = (home / ".." / "plugin" / "vexa_spaceball.p").string();
  options.driverDir = (home / ".." / "drivers").string();
  options.settingsDir = defaultSettingsDir();
  options.snapshotDir = ".";
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](std::string* target) {
      if (i + 1 >= argc) return false;
      *target = argv[++i];
      return true;
    };
    if (arg == "--help" || arg == "-h") {
      std::cout << standin::ScriptRunner::help();
      return 0;
    } else if (arg == "--module") {
      if (!value(&options.modulePath)) return usage("--module needs a path");
    } else if (arg == "--settings") {
      if (!value(&options.settingsDir)) return usage("--settings needs a dir");
    } else if (arg == "--snapshots") {
      if (!value(&options.snapshotDir)) return usage("--snapshots needs a dir");
    } else if (arg == "--drivers") {
      if (!value(&options.driverDir)) return usage("--drivers needs a dir");
    } else if (!arg.empty() && arg[0] == '-') {
      return usage("unknown option " + arg);
    } else {
      words.push_back(arg);
    }
  }
  std::error_code ignored;
  fs::create_directories(options.settingsDir, ignored);
  fs::create_directories(options.snapshotDir, ignored);

  standin::Host host(options);
  host.output = [](const std::string& line) { std::cout << line << "\n"; };
  std::string why;
  if (!host.load(&why)) {
    std::cerr << "layout-sim: cannot load the plug-in: " << why << "\n";
    return 1;
  }
  standin::ScriptRunner runner(host, std::cout);

  if (words.empty()) {
    bool terminal = standin::sys::stdinIsTerminal();
    return runner.run("<stdin>", std::cin, std::cerr, terminal);
  }
  const std::string& command = words[0];
  if (command == "demo" && words.size() == 1) {
    std::istringstream script(standin::kDemoScript);
    return runner.run("demo", script, std::cerr);
  }
  if (command == "servers" && words.size() == 1) {
    std::istringstream script("servers\n");
    return runner.run("servers", script, std::cerr);
  }
  if (command == "run" && words.size() == 2) {
    std::ifstream script(words[1], std::ios::binary);
    if (!script) return usage("cannot read " + words[1]);
    return runner.run(words[1], script, std::cerr);
  }
  return usage("unknown command line");
}

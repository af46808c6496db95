#include <cxxabi.h>
#include <dlfcn.h>
#include <elf.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "connection/driver_state.h"
#include "settings/button_table.h"
#include "standin/host/system.h"
#include "standin/winsys/winsys.h"

namespace standin::sys {

void* openLibrary(const std::string& path, std::string* why) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr && why != nullptr) {
    const char* error = dlerror();
    *why = error != nullptr ? error : path + ": cannot be loaded";
  }
  return library;
}

void* findSymbol(void* library, const char* name) {
  return dlsym(library, name);
}

void closeLibrary(void* library) { dlclose(library); }

HWND createWindow(WNDPROC proc) { return WinsysCreateWindow(proc); }

std::string libraryFile(const std::string& dir, const std::string& base) {
  return dir + "/lib" + base + ".so";
}

void chooseDeviceLibrary(const std::string& file) {
  WinsysSetLibraryPath("siappdll", file.empty() ? nullptr : file.c_str());
}

void observeLibraries(void (*observer)(const char*, void*), void* context) {
  WinsysSetObserver(observer, context);
}

std::string executableDir() {
  std::error_code error;
  auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string(".") : self.parent_path().string();
}

bool stdinIsTerminal() { return isatty(0) != 0; }

namespace {

// Symbol values of the module's file, by demangled name, from its full
// symbol table: the module exports nothing but its descriptor, so the host
// finds its state the way a debugger would.
std::map<std::string, std::uint64_t> readSymbols(const std::string& path,
                                                 std::string* why) {
  std::map<std::string, std::uint64_t> symbols;
  std::ifstream file(path, std::ios::binary);
  std::string image((std::istreambuf_iterator<char>(file)),
                    std::istreambuf_iterator<char>());
  if (image.size() < sizeof(Elf64_Ehdr) ||
      std::memcmp(image.data(), ELFMAG, SELFMAG) != 0 ||
      image[EI_CLASS] != ELFCLASS64) {
    *why = "the module is not a 64-bit ELF file";
    return symbols;
  }
  Elf64_Ehdr header;
  std::memcpy(&header, image.data(), sizeof header);
  auto section = [&](std::size_t index) {
    Elf64_Shdr s{};
    std::size_t at = header.e_shoff + index * header.e_shentsize;
    if (at + sizeof s <= image.size())
      std::memcpy(&s, image.data() + at, sizeof s);
    return s;
  };
  for (std::size_t i = 0; i < header.e_shnum; ++i) {
    Elf64_Shdr table = section(i);
    if (table.sh_type != SHT_SYMTAB) continue;
    Elf64_Shdr strings = section(table.sh_link);
    for (std::size_t at = table.sh_offset;
         at + sizeof(Elf64_Sym) <= table.sh_offset + table.sh_size &&
         at + sizeof(Elf64_Sym) <= image.size();
         at += sizeof(Elf64_Sym)) {
      Elf64_Sym sym;
      std::memcpy(&sym, image.data() + at, sizeof sym);
      std::size_t nameAt = strings.sh_offset + sym.st_name;
      if (sym.st_name == 0 || nameAt >= image.size()) continue;
      const char* mangled = image.data() + nameAt;
      int status = 0;
      char* readable = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
      symbols[status == 0 ? readable : mangled] = sym.st_value;
      std::free(readable);
    }
  }
  if (symbols.empty()) *why = "the module has no symbol table (stripped)";
  return symbols;
}

}  // namespace

ModuleState inspectModule(void* library, const std::string& path) {
  ModuleState state;
  auto symbols = readSymbols(path, &state.why);
  void* descriptor = dlsym(library, "_mod_descrip");
  auto base = symbols.find("_mod_descrip");
  auto driver = symbols.find("connection::driverState");
  auto services = symbols.find("connection::hostServices");
  auto slots = symbols.find("settings::buttonCommands");
  auto global = symbols.find("module::hostGlobal");
  if (descriptor == nullptr || base == symbols.end() ||
      driver == symbols.end() || services == symbols.end() ||
      slots == symbols.end() || global == symbols.end()) {
    if (state.why.empty()) state.why = "the module's state was not found";
    return state;
  }
  auto at = [&](std::uint64_t value) {
    return reinterpret_cast<const char*>(descriptor) - base->second + value;
  };
  const auto* d =
      reinterpret_cast<const connection::DriverState*>(at(driver->second));
  const auto* s =
      reinterpret_cast<const connection::HostServices*>(at(services->second));
  const auto* table =
      reinterpret_cast<const settings::ButtonCommandTable*>(at(slots->second));
  state.available = true;
  state.hostGlobal = *reinterpret_cast<void* const*>(at(global->second));
  state.enabled = d->enabled;
  state.motionAllowed = d->motionAllowed;
  state.moveMode = d->moveMode;
  state.openConfigOnStartup = d->openConfigOnStartup;
  state.instanceCount = d->instanceCount;
  state.commandHeld = s->commandFunction != nullptr;
  state.displayHeld = s->displayInfo != nullptr;
  for (int i = 0; i < settings::kButtonSlots; ++i) {
    if ((*table)[i] != nullptr) state.slots.emplace_back(i, (*table)[i]);
  }
  return state;
}

}  // namespace standin::sys

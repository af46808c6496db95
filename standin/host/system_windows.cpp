// The stand-in host on Windows: the real USER32 and KERNEL32. The main window
// is a real message-only window, device events arrive as real posted
// messages through a real message loop, and the module finds "siappdll" with
// the real LoadLibraryA search.
#include <io.h>

#include <cstdio>
#include <string>

#include "standin/host/system.h"

namespace standin::sys {

namespace {

constexpr char kWindowClass[] = "VexaLayoutMainWindow";

std::string backslashes(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string lastErrorText(DWORD error) {
  char* text = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
          FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result = length > 0 && text != nullptr ? text : "";
  if (text != nullptr) LocalFree(text);
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r' ||
                             result.back() == ' ' || result.back() == '.')) {
    result.pop_back();
  }
  if (result.empty()) result = "cannot be loaded";
  return result + " (error " + std::to_string(error) + ")";
}

// The class procedure serves only while the window is being created; the
// host's own procedure replaces it before anyone sees the window, so the
// creation messages never reach the host's list of received messages.
bool registerWindowClass() {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassA(&windowClass) != 0 ||
           GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

}  // namespace

void* openLibrary(const std::string& path, std::string* why) {
  const std::string file = backslashes(path);
  HMODULE library = LoadLibraryA(file.c_str());
  if (library == nullptr && why != nullptr)
    *why = file + ": " + lastErrorText(GetLastError());
  return reinterpret_cast<void*>(library);
}

void* findSymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(
      GetProcAddress(static_cast<HMODULE>(library), name));
}

void closeLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

HWND createWindow(WNDPROC proc) {
  if (!registerWindowClass()) return nullptr;
  // A message-only window: it takes posted and sent messages like Layout's
  // main window, and needs no display, so the tests run headless.
  HWND window =
      CreateWindowExA(0, kWindowClass, "Layout", 0, 0, 0, 0, 0, HWND_MESSAGE,
                      nullptr, GetModuleHandleA(nullptr), nullptr);
  if (window != nullptr)
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
  return window;
}

std::string libraryFile(const std::string& dir, const std::string& base) {
  return backslashes(dir + "\\" + base + ".dll");
}

void chooseDeviceLibrary(const std::string& file) {
  // A bare name is looked for beside the program first, then in the DLL
  // directory, then in the system folders and PATH; the build keeps no
  // siappdll.dll beside layout-sim.exe, so the DLL directory decides. An
  // empty text takes the current directory out of the search and names no
  // folder, so the name is found nowhere.
  if (file.empty()) {
    SetDllDirectoryA("");
    return;
  }
  const std::string path = backslashes(file);
  const std::string::size_type slash = path.find_last_of('\\');
  const std::string folder =
      slash == std::string::npos ? std::string(".") : path.substr(0, slash);
  SetDllDirectoryA(folder.c_str());
}

void observeLibraries(void (*)(const char*, void*), void*) {
  // The real loader tells no one; the host's call list holds only what the
  // driver reports.
}

std::string executableDir() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD length = GetModuleFileNameA(nullptr, path.data(),
                                      static_cast<DWORD>(path.size()));
    if (length == 0) return ".";
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::string::size_type slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool stdinIsTerminal() { return _isatty(_fileno(stdin)) != 0; }

ModuleState inspectModule(void*, const std::string&) {
  ModuleState state;
  state.why = "the module's state is not read on Windows";
  return state;
}

}  // namespace standin::sys

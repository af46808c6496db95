#include "standin/winsys/winsys.h"

#include <dlfcn.h>

#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The exported Win32 names are implemented here with C linkage.
#define WINSYS_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Window {
  WNDPROC proc;
  bool alive;
};

// A fixed ring keeps posting free of allocation, as on Windows, where a
// thread's queue has a fixed limit too.
constexpr std::size_t kQueueCapacity = 1 << 16;

struct State {
  // Every window ever made, dead ones kept as tombstones so that a stale
  // handle stays recognisable as dead.
  std::vector<std::unique_ptr<Window>> windows;
  std::map<std::string, UINT> registered;
  UINT nextRegistered = 0xC000;
  std::array<MSG, kQueueCapacity> queue{};
  std::size_t head = 0;
  std::size_t count = 0;
  std::map<std::string, std::string> paths;  // name -> path
  std::map<std::string, bool> unloadable;    // name -> true: refuse
  std::map<void*, std::string> loadedNames;  // handle -> name
  WinsysObserver observer = nullptr;
  void* observerContext = nullptr;
};

State& state() {
  static State* s = new State;  // outlives every static destructor
  return *s;
}

Window* windowOf(HWND window) { return reinterpret_cast<Window*>(window); }

void tell(const std::string& event) {
  if (state().observer != nullptr)
    state().observer(event.c_str(), state().observerContext);
}

std::string resolveName(const char* name) {
  std::string file(name);
  if (file.find('/') != std::string::npos) return file;
  if (file.find('.') == std::string::npos) file = "lib" + file + ".so";
  return file;
}

}  // namespace

WINSYS_EXPORT HWND WinsysCreateWindow(WNDPROC proc) {
  state().windows.push_back(std::make_unique<Window>(Window{proc, true}));
  return reinterpret_cast<HWND>(state().windows.back().get());
}

WINSYS_EXPORT BOOL IsWindow(HWND window) {
  return window != nullptr && windowOf(window)->alive;
}

WINSYS_EXPORT BOOL DestroyWindow(HWND window) {
  if (!IsWindow(window)) return 0;
  windowOf(window)->alive = false;
  return 1;
}

WINSYS_EXPORT LONG_PTR SetWindowLongPtrA(HWND window, int index,
                                         LONG_PTR value) {
  if (!IsWindow(window) || index != GWLP_WNDPROC) return 0;
  WNDPROC old = windowOf(window)->proc;
  windowOf(window)->proc = reinterpret_cast<WNDPROC>(value);
  return reinterpret_cast<LONG_PTR>(old);
}

WINSYS_EXPORT LONG_PTR GetWindowLongPtrA(HWND window, int index) {
  if (!IsWindow(window) || index != GWLP_WNDPROC) return 0;
  return reinterpret_cast<LONG_PTR>(windowOf(window)->proc);
}

WINSYS_EXPORT LRESULT CallWindowProcA(WNDPROC proc, HWND window, UINT message,
                                      WPARAM wParam, LPARAM lParam) {
  if (proc == nullptr) return 0;
  return proc(window, message, wParam, lParam);
}

WINSYS_EXPORT LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
  if (!IsWindow(window) || windowOf(window)->proc == nullptr) return 0;
  return windowOf(window)->proc(window, message, wParam, lParam);
}

WINSYS_EXPORT BOOL PostMessageA(HWND window, UINT message, WPARAM wParam,
                                LPARAM lParam) {
  State& s = state();
  if (!IsWindow(window) || s.count == kQueueCapacity) return 0;
  s.queue[(s.head + s.count) % kQueueCapacity] =
      MSG{window, message, wParam, lParam};
  ++s.count;
  return 1;
}

WINSYS_EXPORT BOOL PeekMessageA(MSG* msg, HWND, UINT, UINT, UINT remove) {
  State& s = state();
  if (s.count == 0) return 0;
  *msg = s.queue[s.head];
  if (remove & PM_REMOVE) {
    s.head = (s.head + 1) % kQueueCapacity;
    --s.count;
  }
  return 1;
}

WINSYS_EXPORT BOOL TranslateMessage(const MSG*) { return 0; }

WINSYS_EXPORT LRESULT DispatchMessageA(const MSG* msg) {
  return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

WINSYS_EXPORT UINT RegisterWindowMessageA(const char* name) {
  State& s = state();
  auto found = s.registered.find(name);
  if (found != s.registered.end()) return found->second;
  return s.registered[name] = s.nextRegistered++;
}

WINSYS_EXPORT void WinsysSetLibraryPath(const char* name, const char* path) {
  State& s = state();
  s.unloadable[name] = path == nullptr;
  if (path != nullptr) s.paths[name] = path;
}

WINSYS_EXPORT void WinsysClearLibraryPaths() {
  state().paths.clear();
  state().unloadable.clear();
}

WINSYS_EXPORT void WinsysSetObserver(WinsysObserver observer, void* context) {
  state().observer = observer;
  state().observerContext = context;
}

WINSYS_EXPORT HMODULE LoadLibraryA(const char* name) {
  State& s = state();
  void* handle = nullptr;
  auto refused = s.unloadable.find(name);
  if (refused == s.unloadable.end() || !refused->second) {
    auto chosen = s.paths.find(name);
    std::string file =
        chosen != s.paths.end() ? chosen->second : resolveName(name);
    handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  }
  tell(std::string("load ") + name + (handle != nullptr ? " ok" : " failed"));
  if (handle != nullptr) s.loadedNames[handle] = name;
  return static_cast<HMODULE>(handle);
}

WINSYS_EXPORT FARPROC GetProcAddress(HMODULE library, const char* name) {
  void* address = library != nullptr ? dlsym(library, name) : nullptr;
  tell(std::string("resolve ") + name +
       (address != nullptr ? " ok" : " missing"));
  return reinterpret_cast<FARPROC>(address);
}

WINSYS_EXPORT BOOL FreeLibrary(HMODULE library) {
  if (library == nullptr) return 0;
  auto known = state().loadedNames.find(library);
  tell("free " +
       (known != state().loadedNames.end() ? known->second : std::string("?")));
  return dlclose(library) == 0;
}

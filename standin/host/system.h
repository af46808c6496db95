// What the stand-in host needs from the operating system, one source per
// platform: library loading, the main window, the message queue, and where
// the module's loader finds "siappdll".
#pragma once

#include <string>

#include "module/host.h"
#include "standin/host/host.h"

namespace standin::sys {

void* openLibrary(const std::string& path, std::string* why);
void* findSymbol(void* library, const char* name);
void closeLibrary(void* library);

HWND createWindow(WNDPROC proc);
void destroyWindow(HWND window);
WNDPROC windowProcOf(HWND window);
LRESULT send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int pump();

// The file of a library named `base` in `dir`.
std::string libraryFile(const std::string& dir, const std::string& base);
// Makes the module's LoadLibraryA("siappdll") find `file`, or nothing when
// `file` is empty.
void chooseDeviceLibrary(const std::string& file);
// Told of library loads, lookups and frees where the platform can tell.
void observeLibraries(void (*observer)(const char*, void*), void* context);

// The directory of the running program.
std::string executableDir();
bool stdinIsTerminal();

// The module's state, read from its memory through its symbol table.
ModuleState inspectModule(void* library, const std::string& path);

}  // namespace standin::sys

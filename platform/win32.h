// The few Windows calls the module makes, and the types they take. On
// Windows these are USER32's and KERNEL32's own. Elsewhere the stand-in
// window system (standin/winsys) provides the same functions under the same
// names, so the module's code reads the same on every platform.
#pragma once

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <cstdint>

#define CALLBACK
#define WINAPI

struct HWND__;
using HWND = HWND__*;
struct HINSTANCE__;
using HMODULE = HINSTANCE__*;
using UINT = unsigned int;
using BOOL = int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LONG_PTR = std::intptr_t;
using FARPROC = std::intptr_t (*)();
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

inline constexpr int GWLP_WNDPROC = -4;

extern "C" {
// Replaces a window attribute (GWLP_WNDPROC: its procedure) and returns the
// old value, 0 when the window is unknown.
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtrA(HWND window, int index);
// Calls a window procedure that a hook replaced.
LRESULT CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam,
                        LPARAM lParam);
// Loads a library by name; a bare name gets the platform's prefix and
// extension. Null when it cannot be loaded.
HMODULE LoadLibraryA(const char* name);
FARPROC GetProcAddress(HMODULE library, const char* name);
BOOL FreeLibrary(HMODULE library);
}
#endif

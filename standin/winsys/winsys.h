// The stand-in window system: the part of USER32 and KERNEL32 that the
// module, the stand-in host and the stand-in driver use, for platforms other
// than Windows. Windows with replaceable procedures, sent and posted
// messages with a queue and a pump, registered message ids, and libraries
// loaded over dlopen. Single-threaded, like a Windows user-interface thread.
#pragma once

#include "platform/win32.h"

#if !defined(_WIN32)
#define WINSYS_API extern "C" __attribute__((visibility("default")))

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
inline constexpr UINT PM_REMOVE = 1;
inline constexpr UINT WM_NULL = 0;
inline constexpr UINT WM_USER = 0x0400;

WINSYS_API UINT RegisterWindowMessageA(const char* name);
WINSYS_API BOOL PostMessageA(HWND window, UINT message, WPARAM wParam,
                             LPARAM lParam);
WINSYS_API LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam,
                                LPARAM lParam);
WINSYS_API BOOL PeekMessageA(MSG* msg, HWND window, UINT first, UINT last,
                             UINT remove);
WINSYS_API BOOL TranslateMessage(const MSG* msg);  // no keyboard: nothing
WINSYS_API LRESULT DispatchMessageA(const MSG* msg);
WINSYS_API BOOL DestroyWindow(HWND window);
WINSYS_API BOOL IsWindow(HWND window);

// Stand-in only: a window whose procedure is `proc`.
WINSYS_API HWND WinsysCreateWindow(WNDPROC proc);
// Stand-in only: what a bare library name resolves to. A null path makes the
// name unloadable; WinsysClearLibraryPaths forgets every choice.
WINSYS_API void WinsysSetLibraryPath(const char* name, const char* path);
WINSYS_API void WinsysClearLibraryPaths();
// Stand-in only: told of every LoadLibraryA, GetProcAddress and FreeLibrary,
// as "load NAME ok|failed", "resolve NAME ok|missing", "free NAME".
using WinsysObserver = void (*)(const char* event, void* context);
WINSYS_API void WinsysSetObserver(WinsysObserver observer, void* context);
#endif

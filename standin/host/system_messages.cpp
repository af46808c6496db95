// The window and message calls of the stand-in host. They are Win32's own
// names on every platform: USER32 on Windows, the stand-in window system
// elsewhere.
#include "standin/host/system.h"
#include "standin/winsys/winsys.h"

namespace standin::sys {

void destroyWindow(HWND window) {
  if (window != nullptr) DestroyWindow(window);
}

WNDPROC windowProcOf(HWND window) {
  return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
}

LRESULT send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageA(window, message, wParam, lParam);
}

int pump() {
  int count = 0;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    ++count;
  }
  return count;
}

}  // namespace standin::sys

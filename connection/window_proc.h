// The procedure that replaces Layout's main window procedure while the
// master handler's instance lives: device events become Layout command
// lines, and every message is passed on unchanged.
#pragma once

#include <cstddef>

#include "device/siapp.h"
#include "platform/win32.h"

namespace connection {

LRESULT CALLBACK deviceWindowProc(HWND window, UINT message, WPARAM wParam,
                                  LPARAM lParam);

// Formats "PREFIX a b c" exactly as "%g" in the "C" locale would, whatever
// the process locale. Returns the length written (the text is terminated);
// the buffer must hold the prefix and 3 x 14 characters more.
std::size_t formatCommand(char* buffer, const char* prefix,
                          std::size_t prefixLength, double a, double b,
                          double c);

// Module-level records reused by every message.
extern siapp::SiGetEventData eventData;
extern siapp::SiSpwEvent eventRecord;
inline constexpr std::size_t kCommandTextSize = 512;
extern char commandText[kCommandTextSize];

}  // namespace connection

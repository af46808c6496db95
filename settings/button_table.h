// The command assigned to each of the device's 28 buttons. Slot i belongs to
// button i + 1. A slot is either empty (null) or owns a non-empty copy of its
// text; texts get in only through replaceText.
#pragma once

#include <array>

namespace settings {

inline constexpr int kButtonSlots = 28;

using ButtonCommandTable = std::array<char*, kButtonSlots>;

// All slots empty at load.
extern ButtonCommandTable buttonCommands;

// A new caller-owned copy of a zero-terminated text (freed with delete[]),
// or null when there is no memory for it.
char* copyText(const char* text);

// Frees the slot's text, then stores a copy of `text` unless it is null or
// empty. Returns the slot.
char*& replaceText(char*& slot, const char* text);

}  // namespace settings

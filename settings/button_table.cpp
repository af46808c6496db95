#include "settings/button_table.h"

#include <cstring>
#include <new>

namespace settings {

ButtonCommandTable buttonCommands{};

char* copyText(const char* text) {
  std::size_t length = std::strlen(text);
  // Out of memory leaves the slot empty rather than throwing into the host.
  char* copy = new (std::nothrow) char[length + 1];
  if (copy == nullptr) return nullptr;
  std::memcpy(copy, text, length + 1);
  return copy;
}

char*& replaceText(char*& slot, const char* text) {
  delete[] slot;
  slot = nullptr;
  if (text != nullptr && text[0] != '\0') slot = copyText(text);
  return slot;
}

}  // namespace settings

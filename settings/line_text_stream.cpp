#include "settings/line_text_stream.h"

#include <array>
#include <cstring>
#include <locale>

#include "settings/file_system.h"

namespace settings {

namespace {

constexpr std::array<const char*, 3> kLineEndingTexts{"\n", "\r", "\r\n"};

std::ios_base::openmode toOpenMode(int mode) {
  std::ios_base::openmode result = std::ios_base::binary;
  if ((mode & kOpenInput) != 0) result |= std::ios_base::in;
  if ((mode & kOpenOutput) != 0) result |= std::ios_base::out;
  if ((mode & kOpenAtEnd) != 0) result |= std::ios_base::ate;
  if ((mode & kOpenAppend) != 0) result |= std::ios_base::app;
  if ((mode & kOpenTruncate) != 0) result |= std::ios_base::trunc;
  return result;
}

// The standard file streams cannot give a new file its permission bits, and
// an input stream does not create a missing file at all: create it here, and
// let the stream's own open report whether the file can be used.
void createIfMissing(const std::string& path, int protection) {
  FileHandle created = fileSystem.createNew(path.c_str(), protection);
  if (created != kNoFile) fileSystem.close(created);
}

}  // namespace

const char* lineEndingText(int kind) {
  if (kind < 0 || kind >= static_cast<int>(kLineEndingTexts.size())) {
    return nullptr;
  }
  return kLineEndingTexts[static_cast<std::size_t>(kind)];
}

LineTextReader::LineTextReader(const std::string& path, int mode,
                               int protection) {
  imbue(std::locale::classic());
  createIfMissing(path, protection);
  open(path, toOpenMode(mode) | std::ios_base::in);
}

int LineTextReader::detectLineEnding() {
  const LineEnding previous = lineEnding;
  if (fail() || eof()) return -1;
  const pos_type start = tellg();
  seekg(0);
  while (!fail() && !eof()) {
    const int_type c = get();
    if (traits_type::eq_int_type(c, traits_type::eof())) break;
    if (c == '\n') {
      lineEnding = Lf;
      break;
    }
    if (c == '\r') {
      lineEnding = get() == '\n' ? CrLf : Cr;
      break;
    }
  }
  // The base's seek would clear the end-of-file condition, and refuse to
  // move a failed stream; the scan's outcome has to survive the way back.
  const iostate scanned = rdstate();
  clear();
  seekg(start);
  setstate(scanned);
  return fail() || eof() ? -1 : previous;
}

char* LineTextReader::readLine(char* buffer, int capacity, int ending) {
  if (capacity < 1) return buffer;
  const char* end =
      lineEndingText(ending == kRecordedEnding ? lineEnding : ending);
  if (end == nullptr) {
    buffer[0] = '\0';
    return buffer;
  }
  const int endLength = static_cast<int>(std::strlen(end));
  int stored = 0;
  int matched = 0;  // how many characters of `end` the stored text ends with
  while (stored < capacity - 1) {
    const int_type next = get();
    if (traits_type::eq_int_type(next, traits_type::eof())) break;
    const char c = traits_type::to_char_type(next);
    buffer[stored++] = c;
    if (c == end[matched]) {
      ++matched;
    } else {
      matched = c == end[0] ? 1 : 0;
    }
    if (matched == endLength) break;
  }
  buffer[stored - matched] = '\0';
  return buffer;
}

LineTextWriter::LineTextWriter(const std::string& path, int mode,
                               int protection) {
  imbue(std::locale::classic());
  createIfMissing(path, protection);
  open(path, toOpenMode(mode) | std::ios_base::out);
}

}  // namespace settings

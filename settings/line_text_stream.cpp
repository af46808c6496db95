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
  const std::streamsize room = capacity - 1;  // characters that may be taken
  if (end == nullptr || room == 0) {
    buffer[0] = '\0';
    return buffer;
  }
  if (!good()) {
    setstate(std::ios_base::failbit);  // as any read on it would
    buffer[0] = '\0';
    return buffer;
  }
  // The stream's getline copies up to the ending's last character in bulk;
  // one get() per character was most of the cost of a long command. The
  // result is the one the matching rule gives: the line ends at the first
  // place where the text ends with the whole ending, a begun ending at the
  // end of the room or the file is dropped, and an LF without its CR is
  // text when the ending is CR LF.
  const bool crLf = end[1] != '\0';
  const char last = crLf ? end[1] : end[0];
  std::streamsize stored = 0;
  while (stored < room) {
    // Stops one character short of the room, so that the last character is
    // taken alone and a line that fills the room is not mistaken for one
    // too long.
    getline(buffer + stored, room - stored, last);
    const std::streamsize got = gcount();
    if (eof() || bad()) {  // the file ended inside the line
      stored += got;
      setstate(std::ios_base::failbit);
      break;
    }
    if (fail()) {  // room - 1 characters, then neither end nor ending
      clear();
      buffer[room - 1] = static_cast<char>(get());
      stored = room;
      break;
    }
    stored += got - 1;  // the ending's last character was consumed
    if (!crLf) break;
    if (stored > 0 && buffer[stored - 1] == '\r') {
      buffer[stored - 1] = '\0';
      return buffer;
    }
    buffer[stored++] = last;  // an LF without its CR is text
  }
  if (crLf && stored > 0 && buffer[stored - 1] == '\r') --stored;
  buffer[stored] = '\0';
  return buffer;
}

LineTextWriter::LineTextWriter(const std::string& path, int mode,
                               int protection) {
  imbue(std::locale::classic());
  createIfMissing(path, protection);
  open(path, toOpenMode(mode) | std::ios_base::out);
}

}  // namespace settings

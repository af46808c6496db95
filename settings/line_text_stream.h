// File streams for small text files whose lines may end in LF, CR or CR LF.
// Both open their file in binary mode, so nothing translates line ends: the
// reader recognises them itself and the writer writes exactly the ending it
// names. Words, integers and plain text go through the base streams' own
// extraction and insertion, in the classic locale whatever the host's is.
#pragma once

#include <fstream>
#include <string>

namespace settings {

// Stored as an int; the value indexes lineEndingText's table.
enum LineEnding : int {
  Lf = 0,    // "\n"
  Cr = 1,    // "\r"
  CrLf = 2,  // "\r\n"
};

// The text of a line ending: "\n", "\r" or "\r\n" for 0, 1, 2; null for any
// other value. The texts are constant for the module's life.
const char* lineEndingText(int kind);

// Open-mode bits as the stream classes' constructors take them. Both classes
// add kOpenBinary; the reader adds kOpenInput, the writer kOpenOutput.
inline constexpr int kOpenInput = 0x01;
inline constexpr int kOpenOutput = 0x02;
inline constexpr int kOpenAtEnd = 0x04;
inline constexpr int kOpenAppend = 0x08;
inline constexpr int kOpenTruncate = 0x10;
inline constexpr int kOpenBinary = 0x80;

// Permission bits of a file that an open creates: readable and writable.
inline constexpr int kDefaultProtection = 0644;

// readLine's `ending` argument that means "the recorded lineEnding".
inline constexpr int kRecordedEnding = -1;

// An input file stream that learns its file's line ending and reads whole
// lines up to it. Once a read meets the end of the file or fails, every later
// read fails too: nothing in this class clears the stream's state.
class LineTextReader : public std::ifstream {
 public:
  // Opens `path` at once. A missing file is created empty first (with
  // `protection`); when the file can be neither opened nor created the stream
  // is failed from the start.
  explicit LineTextReader(const std::string& path, int mode = kOpenInput,
                          int protection = kDefaultProtection);

  LineTextReader(const LineTextReader&) = delete;
  LineTextReader& operator=(const LineTextReader&) = delete;

  // Records in lineEnding the ending of the first line end in the file and
  // leaves the read position where it was. Returns -1 when the stream is
  // failed or at the end of the file afterwards (no line end was found, or a
  // CR was the file's last byte), else the ending recorded before the call.
  int detectLineEnding();

  // Reads up to the next line ending (`ending` 0, 1, 2, or kRecordedEnding
  // for lineEnding) into `buffer` as a zero-terminated text without the
  // ending, consuming the ending. `capacity` is the buffer's size including
  // the zero; at most capacity - 1 characters are read, and an ending begun
  // at the end of them is cut off although it was consumed. At the end of the
  // file the text read so far is returned and the stream is left failed. A
  // capacity below 1 writes nothing; an unknown ending reads nothing and
  // gives the empty text. Returns `buffer`.
  char* readLine(char* buffer, int capacity, int ending = kRecordedEnding);

  LineEnding lineEnding = CrLf;
};

// An output file stream whose lines end with lineEndingText(lineEnding).
class LineTextWriter : public std::ofstream {
 public:
  // Opens `path` at once, creating it (with `protection`) or emptying it.
  // When the file cannot be opened the stream is failed from the start.
  explicit LineTextWriter(const std::string& path, int mode = kOpenOutput,
                          int protection = kDefaultProtection);

  LineTextWriter(const LineTextWriter&) = delete;
  LineTextWriter& operator=(const LineTextWriter&) = delete;

  LineEnding lineEnding = CrLf;
};

}  // namespace settings

// The operating-system file calls of the settings code, reached through one
// record of function pointers so that a test can make any of them fail.
// `fileSystem` starts as the platform's own calls and is never null.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace settings {

#if defined(_WIN32)
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// An open file: a descriptor on POSIX, a HANDLE on Windows.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

struct FileSystem {
  // Creates `path` empty and open for writing, with the permission bits
  // `protection` where the platform has them. kNoFile when the file exists
  // already or cannot be created; an existing file is never touched.
  FileHandle (*createNew)(const char* path, int protection);
  // Writes up to `size` bytes and returns how many were written, which may
  // be fewer; -1 on an error.
  std::ptrdiff_t (*write)(FileHandle file, const char* data, std::size_t size);
  // Pushes what was written to the storage device. False when it could not.
  bool (*flush)(FileHandle file);
  // Closes the file in every case; false when an earlier write is now known
  // to have failed.
  bool (*close)(FileHandle file);
  // Moves `from` over `to` in one step, so that `to` is either the old or the
  // new file, never a mix. False when nothing was moved.
  bool (*replace)(const char* from, const char* to);
  // Deletes a file. False when it did not exist or could not be deleted.
  bool (*remove)(const char* path);
  // True when no file `path` exists or this process may write to it.
  bool (*mayOverwrite)(const char* path);
};

// The platform's own calls.
extern const FileSystem kPlatformFileSystem;

// What the settings code calls. Tests swap members and put them back.
extern FileSystem fileSystem;

// Makes `contents` the whole of the file `path`, or leaves that file exactly
// as it was. The new text goes to a temporary file beside it, is pushed to
// the storage device, and only then moved over the old file; a file this
// process may not write is left alone. On failure the temporary file is
// removed again. Returns whether the file was replaced.
bool replaceFileContents(const std::string& path, std::string_view contents,
                         int protection);

// The temporary file's name is the file's own name followed by this.
inline constexpr const char* kTemporarySuffix = ".tmp";

}  // namespace settings

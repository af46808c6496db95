#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "settings/file_system.h"

namespace settings {

namespace {

FileHandle createNew(const char* path, int protection) {
  int fd;
  do {
    fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                static_cast<mode_t>(protection));
  } while (fd < 0 && errno == EINTR);
  return fd < 0 ? kNoFile : fd;
}

std::ptrdiff_t write(FileHandle file, const char* data, std::size_t size) {
  ssize_t written;
  do {
    written = ::write(static_cast<int>(file), data, size);
  } while (written < 0 && errno == EINTR);
  return written;
}

bool flush(FileHandle file) { return ::fsync(static_cast<int>(file)) == 0; }

// Not retried on EINTR: on Linux the descriptor is gone either way.
bool close(FileHandle file) { return ::close(static_cast<int>(file)) == 0; }

bool replace(const char* from, const char* to) {
  if (std::rename(from, to) != 0) return false;
  // The rename itself lives in the directory; without this a crash could
  // bring back the old name. The new file is in place whatever this gives.
  std::string directory(to);
  std::size_t slash = directory.rfind('/');
  directory = slash == std::string::npos ? std::string(".")
                                         : directory.substr(0, slash + 1);
  int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
  return true;
}

bool remove(const char* path) { return ::unlink(path) == 0; }

bool mayOverwrite(const char* path) {
  return ::access(path, W_OK) == 0 || errno == ENOENT;
}

}  // namespace

extern constexpr FileSystem kPlatformFileSystem{
    &createNew, &write, &flush, &close, &replace, &remove, &mayOverwrite,
};

FileSystem fileSystem = kPlatformFileSystem;

}  // namespace settings

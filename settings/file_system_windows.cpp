#include <climits>

#include "platform/win32.h"
#include "settings/file_system.h"

namespace settings {

namespace {

// Other programs may read, write or delete the file while it is open, as
// they may with the settings file itself.
constexpr DWORD kShareAll =
    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE toHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

// Windows has no permission bits to give a new file: it is created readable
// and writable, which is what the settings' protection asks for.
FileHandle createNew(const char* path, int) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? kNoFile
                                      : reinterpret_cast<FileHandle>(file);
}

std::ptrdiff_t write(FileHandle file, const char* data, std::size_t size) {
  DWORD chunk = size > static_cast<std::size_t>(INT_MAX)
                    ? static_cast<DWORD>(INT_MAX)
                    : static_cast<DWORD>(size);
  DWORD written = 0;
  if (!WriteFile(toHandle(file), data, chunk, &written, nullptr)) return -1;
  return static_cast<std::ptrdiff_t>(written);
}

bool flush(FileHandle file) { return FlushFileBuffers(toHandle(file)) != 0; }

bool close(FileHandle file) { return CloseHandle(toHandle(file)) != 0; }

bool replace(const char* from, const char* to) {
  return MoveFileExA(from, to,
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool remove(const char* path) { return DeleteFileA(path) != 0; }

bool mayOverwrite(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  return (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) ==
         0;
}

}  // namespace

extern constexpr FileSystem kPlatformFileSystem{
    &createNew, &write, &flush, &close, &replace, &remove, &mayOverwrite,
};

FileSystem fileSystem = kPlatformFileSystem;

}  // namespace settings

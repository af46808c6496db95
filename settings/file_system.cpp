#include "settings/file_system.h"

namespace settings {

namespace {

bool writeAll(FileHandle file, std::string_view contents) {
  while (!contents.empty()) {
    std::ptrdiff_t written =
        fileSystem.write(file, contents.data(), contents.size());
    // Zero bytes written would repeat forever; take it as the failure that
    // the platform will not name.
    if (written <= 0) return false;
    contents.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

bool replaceFileContents(const std::string& path, std::string_view contents,
                         int protection) {
  if (!fileSystem.mayOverwrite(path.c_str())) return false;
  const std::string temporary = path + kTemporarySuffix;
  // Whatever is left under that name is a save that was cut off.
  fileSystem.remove(temporary.c_str());
  FileHandle file = fileSystem.createNew(temporary.c_str(), protection);
  if (file == kNoFile) return false;
  bool written = writeAll(file, contents) && fileSystem.flush(file);
  written = fileSystem.close(file) && written;
  if (written && fileSystem.replace(temporary.c_str(), path.c_str())) {
    return true;
  }
  fileSystem.remove(temporary.c_str());
  return false;
}

}  // namespace settings

#include "shell/save_location.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "shell/save_files.h"

namespace fs = std::filesystem;

namespace {

// The two files the game keeps; they are written together at exit, so they
// are copied together too (the options hold the table's checksum).
const char* const SaveNames[] = {"options", "hs"};

std::string Shown(const std::string& folder) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(folder, ec);
  return ec ? folder : absolute.lexically_normal().string();
}

// Copies the game's own saves into a player's folder that has none yet.
bool SeedFrom(const std::string& gameFolder, const std::string& userFolder) {
  std::error_code ec;
  for (const char* name : SaveNames)
    if (fs::exists(fs::path(userFolder) / name, ec)) return false;
  bool copied = false;
  for (const char* name : SaveNames) {
    const fs::path from = fs::path(gameFolder) / name;
    if (!fs::is_regular_file(from, ec)) continue;
    copied = fs::copy_file(from, fs::path(userFolder) / name, ec) || copied;
  }
  return copied;
}

}  // namespace

bool FolderWritable(const std::string& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder, ec)) return false;
  // The saves are written to a new file that is renamed over the old one,
  // so being able to create a file in the folder is what counts.
  // Whatever lies at the probe's name (a leftover, a pipe, a link) goes
  // first, and the probe is made afresh: a pipe opened for writing would
  // wait for a reader for ever, and a link would be written through.
  const std::string probe = (fs::path(folder) / ".voltrace2-probe").string();
  ::unlink(probe.c_str());
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool written = ::write(fd, "\n", 1) == 1;
  ::close(fd);
  ::unlink(probe.c_str());
  return written;
}

std::string ChooseSaveFolder(const std::string& gameFolder, const std::function<std::string()>& userFolderOf,
                             const std::function<bool(const std::string&)>& writable) {
  SaveFolder = gameFolder;
  if (writable(gameFolder)) return "voltrace2: saving in " + Shown(gameFolder);
  const std::string userFolder = userFolderOf ? userFolderOf() : std::string();
  if (!userFolder.empty() && writable(userFolder)) {
    SaveFolder = userFolder;
    const bool seeded = SeedFrom(gameFolder, userFolder);
    return "voltrace2: " + Shown(gameFolder) + " cannot be written; saving in " + Shown(userFolder) +
           (seeded ? " (the game's own saves were copied there)" : "");
  }
  return "voltrace2: nowhere to save (" + Shown(gameFolder) +
         (userFolder.empty() ? "" : " and " + Shown(userFolder)) +
         " cannot be written); settings and highscores will not be kept";
}

std::string ChooseInstalledSaveFolder(const std::function<std::string()>& userFolderOf,
                                      const std::function<bool(const std::string&)>& writable) {
  const std::string userFolder = userFolderOf ? userFolderOf() : std::string();
  if (!userFolder.empty()) {
    SaveFolder = userFolder;
    if (writable(userFolder)) return "voltrace2: saving in " + Shown(userFolder);
    return "voltrace2: nowhere to save (" + Shown(userFolder) +
           " cannot be written); settings and highscores will not be kept";
  }
  // No folder can ever be made under a device file, not even by root: the
  // saves read as missing and every write fails and says so.
  SaveFolder = "/dev/null/voltrace2";
  return "voltrace2: nowhere to save (no data folder for the player); settings and highscores will not be kept";
}

#include "shell/save_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/file_checks.h"

std::string SaveFolder = "Data/Save";

bool ReadLines(const std::string& path, std::vector<std::string>& lines) {
  // A folder or a huge file in place of a save file reads as no file.
  std::vector<uint8_t> bytes;
  if (!ReadSaneFile(path, MaxSaveFileBytes, bytes, nullptr)) return false;
  lines.clear();
  std::string line;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\n') {
      line += static_cast<char>(bytes[i]);
      if (i + 1 < bytes.size()) continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    line.clear();
  }
  return true;
}

int (*SaveCallHook)(const char* call, const std::string& path) = nullptr;

namespace {

bool Why(std::string& why, const std::string& what) {
  why = what;
  return false;
}

bool Errno(std::string& why, const char* doing = nullptr) {
  const std::string reason = std::strerror(errno);
  return Why(why, doing ? std::string(doing) + ": " + reason : reason);
}

bool WriteAll(int fd, const std::string& temp, const char* data, size_t size, std::string& why) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = SaveCall("write", temp, [&] { return ::write(fd, data + done, size - done); });
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Errno(why);
    if (n == 0) return Why(why, "nothing written");
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

bool MakeSaveFolder(const std::string& folder, std::string& why) {
  namespace fs = std::filesystem;
  // Each missing folder from the top down, so the message names the real
  // reason (a read-only disk, a full one, no permission) rather than the
  // missing folder that a later open would report.
  fs::path path;
  for (const fs::path& part : fs::path(folder)) {
    path /= part;
    if (part.empty() || part == "/" || part == "." || part == "..") continue;
    if (SaveCall("mkdir", path.string(), [&] { return ::mkdir(path.c_str(), 0755); }) == 0 || errno == EEXIST) continue;
    return Errno(why, ("cannot create the folder " + path.string()).c_str());
  }
  struct stat st {};
  if (SaveCall("stat", folder, [&] { return ::stat(folder.c_str(), &st); }) != 0)
    return Errno(why, ("cannot create the folder " + folder).c_str());
  if (!S_ISDIR(st.st_mode)) return Why(why, folder + " is not a folder");
  return true;
}

bool WriteTempFile(const std::string& temp, const std::string& contents, std::string& why) {
  // Made afresh with O_EXCL after the name is cleared: a pipe left at the
  // name would block the open (and every exit after it) for ever, and a link
  // would carry the save to wherever it points. O_EXCL opens neither, and
  // what it creates is a regular file of ours.
  if (!RemoveFile(temp, why)) return false;
  const int fd = SaveCall("open", temp, [&] {
    return ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  });
  if (fd < 0) return Errno(why);
  // Half the file first, then the rest: two writes, so a test's kill can
  // land in the middle of the file.
  const size_t half = (contents.size() + 1) / 2;
  bool ok = WriteAll(fd, temp, contents.data(), half, why) &&
            WriteAll(fd, temp, contents.data() + half, contents.size() - half, why);
  if (ok && SaveCall("fsync", temp, [&] { return ::fsync(fd); }) != 0) ok = Errno(why);
  if (SaveCall("close", temp, [&] { return ::close(fd); }) != 0 && ok) ok = Errno(why);
  if (!ok) {
    std::string ignored;
    RemoveFile(temp, ignored);
  }
  return ok;
}

bool SyncFolder(const std::string& folder, std::string& why) {
  const int fd = SaveCall("open", folder, [&] { return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
  if (fd < 0) return Errno(why, "cannot open the folder to flush it");
  const int synced = SaveCall("fsync", folder, [&] { return ::fsync(fd); });
  const int err = errno;
  SaveCall("close", folder, [&] { return ::close(fd); });  // only read: nothing to lose
  errno = err;
  return synced == 0 || Errno(why, "cannot flush the folder");
}

bool RenameFile(const std::string& from, const std::string& to, std::string& why) {
  return SaveCall("rename", to, [&] { return std::rename(from.c_str(), to.c_str()); }) == 0 || Errno(why);
}

bool RemoveFile(const std::string& path, std::string& why) {
  return SaveCall("unlink", path, [&] { return ::unlink(path.c_str()); }) == 0 || errno == ENOENT ||
         Errno(why, ("cannot remove " + path).c_str());
}

bool WriteFileSafely(const std::string& path, const std::string& contents) {
  namespace fs = std::filesystem;
  const std::string folder = fs::path(path).parent_path().string();
  const std::string temp = path + ".new";
  std::string why;
  if ((folder.empty() || MakeSaveFolder(folder, why)) && WriteTempFile(temp, contents, why)) {
    if (RenameFile(temp, path, why)) return true;
    std::string ignored;
    RemoveFile(temp, ignored);
  }
  std::fprintf(stderr, "voltrace2: cannot save %s: %s\n", path.c_str(), why.c_str());
  return false;
}

bool ParseSaveInteger(const std::string& line, int& value) {
  size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  bool negative = false;
  if (i < line.size() && (line[i] == '-' || line[i] == '+')) negative = line[i++] == '-';
  if (i >= line.size() || line[i] < '0' || line[i] > '9') return false;
  long long v = 0;
  for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
    v = v * 10 + (line[i] - '0');
    if (v > 2147483648LL) return false;
  }
  if (negative) v = -v;
  if (v > 2147483647LL) return false;
  value = static_cast<int>(v);
  return true;
}

#include "shell/save_files.h"

#include <fcntl.h>
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

namespace {

bool Report(const std::string& path, const char* what) {
  std::fprintf(stderr, "voltrace2: cannot save %s: %s\n", path.c_str(), what);
  return false;
}

}  // namespace

bool WriteFileSafely(const std::string& path, const std::string& contents) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path folder = fs::path(path).parent_path();
  if (!folder.empty()) fs::create_directories(folder, ec);
  const std::string temp = path + ".new";
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return Report(path, std::strerror(errno));
  size_t done = 0;
  while (done < contents.size()) {
    const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int err = errno;
      ::close(fd);
      ::unlink(temp.c_str());
      return Report(path, std::strerror(err));
    }
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return Report(path, std::strerror(err));
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return Report(path, std::strerror(err));
  }
  return true;
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

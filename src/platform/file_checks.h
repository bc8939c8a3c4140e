#pragma once
// Every file the game reads goes through here first: a folder, a device, a
// pipe or a file far larger than the game ever writes in place of one of its
// own files is refused before any library is asked to read it. The check is
// made on the opened file, so the file cannot be swapped between the test
// and the read. Header only: the archive reader, the save files, the music
// and the fonts all use it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// The largest file of each kind that is read at all; far above what the
// game's own files need.
constexpr uint64_t MaxArchiveBytes = uint64_t{256} << 20;
constexpr uint64_t MaxSaveFileBytes = uint64_t{1} << 20;
constexpr uint64_t MaxSongBytes = uint64_t{64} << 20;
constexpr uint64_t MaxFontBytes = uint64_t{64} << 20;

// A descriptor for reading path when it is a regular file of at most
// maxBytes (its size in *size), else -1 with the reason in *why.
inline int OpenSaneFile(const std::string& path, uint64_t maxBytes, uint64_t* size, std::string* why) {
  // Non-blocking, so that a pipe without a writer cannot hang the open.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (why) *why = std::string("cannot open (") + std::strerror(errno) + ")";
    return -1;
  }
  struct stat st {};
  const char* problem = nullptr;
  if (::fstat(fd, &st) != 0)
    problem = "cannot be examined";
  else if (S_ISDIR(st.st_mode))
    problem = "is a folder, not a file";
  else if (!S_ISREG(st.st_mode))
    problem = "is not a regular file";
  else if (static_cast<uint64_t>(st.st_size) > maxBytes)
    problem = "is far too large";
  if (problem) {
    ::close(fd);
    if (why) *why = problem;
    return -1;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  if (size) *size = static_cast<uint64_t>(st.st_size);
  return fd;
}

// The whole file, under the same conditions; false with *why on any failure.
inline bool ReadSaneFile(const std::string& path, uint64_t maxBytes, std::vector<uint8_t>& bytes,
                         std::string* why) {
  uint64_t size = 0;
  const int fd = OpenSaneFile(path, maxBytes, &size, why);
  if (fd < 0) return false;
  bytes.clear();
  bytes.reserve(static_cast<size_t>(size));
  uint8_t chunk[65536];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      if (why) *why = std::string("cannot read (") + std::strerror(errno) + ")";
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    // A file that grows while it is read is held to the same limit.
    if (bytes.size() + static_cast<size_t>(n) > maxBytes) {
      if (why) *why = "is far too large";
      ::close(fd);
      return false;
    }
    bytes.insert(bytes.end(), chunk, chunk + n);
  }
  ::close(fd);
  return true;
}

// Only whether path is a regular file of at most maxBytes, for files that a
// library opens by name.
inline bool IsSaneFile(const std::string& path, uint64_t maxBytes, std::string* why = nullptr) {
  const int fd = OpenSaneFile(path, maxBytes, nullptr, why);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

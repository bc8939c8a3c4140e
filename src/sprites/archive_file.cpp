#include "sprites/archive_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

TArchiveFile::TArchiveFile(int fd, std::string path) : Fd(fd), FilePath(std::move(path)) {}

TArchiveFile::~TArchiveFile() { ::close(Fd); }

bool TArchiveFile::Read(uint64_t offset, uint64_t size, std::vector<uint8_t>& bytes, std::string& why) const {
  bytes.resize(static_cast<size_t>(size));
  return Read(offset, size, bytes.data(), why);
}

bool TArchiveFile::Read(uint64_t offset, uint64_t size, void* into, std::string& why) const {
  uint8_t* const to = static_cast<uint8_t*>(into);
  uint64_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(Fd, to + done, static_cast<size_t>(size - done),
                                static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      why = std::string("cannot read (") + std::strerror(errno) + ")";
      return false;
    }
    if (got == 0) {
      why = "the file is shorter than when it was opened";
      return false;
    }
    done += static_cast<uint64_t>(got);
  }
  return true;
}

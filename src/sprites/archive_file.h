#pragma once
// An archive file kept open after its load, so that what it holds can be
// read when the game first wants it instead of all at start-up.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TArchiveFile {
 public:
  // Takes over the open descriptor Fd of the file at Path.
  TArchiveFile(int fd, std::string path);
  ~TArchiveFile();
  TArchiveFile(const TArchiveFile&) = delete;
  TArchiveFile& operator=(const TArchiveFile&) = delete;

  // The Size bytes at Offset into Bytes; false (with the reason in Why) when
  // the file no longer holds them, as when it was cut short since the load.
  bool Read(uint64_t offset, uint64_t size, std::vector<uint8_t>& bytes, std::string& why) const;
  // The same into Size bytes at Into.
  bool Read(uint64_t offset, uint64_t size, void* into, std::string& why) const;
  const std::string& Path() const { return FilePath; }

 private:
  int Fd;
  std::string FilePath;
};

// Bytes an item left waiting in its archive until the game first looks the
// item up: where they lie in the file kept open. Empty once they are read.
struct TWaitingBytes {
  std::shared_ptr<const TArchiveFile> File;
  uint64_t Offset = 0;
  uint64_t Size = 0;
};

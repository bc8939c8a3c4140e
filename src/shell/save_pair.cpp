#include "shell/save_pair.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <array>
#include <cstring>
#include <filesystem>
#include <string>

#include "shell/highscores.h"
#include "shell/options_file.h"
#include "shell/save_files.h"

bool (*SaveStepHook)(int step, const char* name) = nullptr;

namespace {

// Read afresh each time: start-up may move the saves to the player's data
// folder.
std::string Folder() { return SaveFolder; }
std::string Mark() { return SaveFolder + "/save.commit"; }

// The pair in the order they are renamed: the table first, so that a stop
// between the renames is finished by the next start either way.
struct TSaveFile {
  std::string Path, Temp;
};
std::array<TSaveFile, 2> Files() {
  return {{{Folder() + "/hs", Folder() + "/hs.new"}, {Folder() + "/options", Folder() + "/options.new"}}};
}

bool Report(const std::string& path, const std::string& what) {
  std::fprintf(stderr, "voltrace2: cannot save %s: %s\n", path.c_str(), what.c_str());
  return false;
}

// Makes the renames and removals in the folder durable, in their order.
void SyncFolder() {
  const int fd = ::open(Folder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

enum class TWrite { Done, Failed, Stopped };

TWrite Failed(const std::string& path, const char* why) {
  Report(path, why);
  return TWrite::Failed;
}

// A new file of exactly these bytes, on the disk before this returns.
TWrite WriteSynced(const std::string& path, const std::string& contents, int& step, const char* halfStep) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return Failed(path, std::strerror(errno));
  size_t done = 0;
  bool halfReported = false;
  while (done < contents.size()) {
    // Half the file first, so a stop can land in the middle of a write.
    const size_t part = halfReported ? contents.size() - done : (contents.size() + 1) / 2;
    const ssize_t n = ::write(fd, contents.data() + done, part);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int err = errno;
      ::close(fd);
      return Failed(path, n < 0 ? std::strerror(err) : "nothing written");
    }
    done += static_cast<size_t>(n);
    if (!halfReported) {
      halfReported = true;
      if (SaveStepHook && SaveStepHook(step++, halfStep)) {
        ::close(fd);
        return TWrite::Stopped;
      }
    }
  }
  if (::fsync(fd) != 0) {
    const int err = errno;
    ::close(fd);
    return Failed(path, std::strerror(err));
  }
  if (::close(fd) != 0) return Failed(path, std::strerror(errno));
  return TWrite::Done;
}

// Renames whatever temporary files are left into place; false at the first
// that cannot be, leaving it and the ones after it for the next try.
bool RenameTemps(int* step) {
  for (const TSaveFile& f : Files()) {
    if (step && SaveStepHook && SaveStepHook((*step)++, f.Path == Files()[0].Path ? "rename hs" : "rename options"))
      return false;
    if (!IsRegularFile(f.Temp)) continue;
    if (std::rename(f.Temp.c_str(), f.Path.c_str()) != 0) return Report(f.Path, std::strerror(errno));
  }
  SyncFolder();
  return true;
}

}  // namespace

bool SaveOptionsAndHighScores() {
  int step = 0;
  auto stop = [&](const char* name) { return SaveStepHook && SaveStepHook(step++, name); };
  std::error_code ec;
  std::filesystem::create_directories(Folder(), ec);
  // A mark left by an earlier run must not bless the half-written files of
  // this one.
  if (::unlink(Mark().c_str()) != 0 && errno != ENOENT) return Report(Mark(), std::strerror(errno));
  SyncFolder();
  if (stop("write hs")) return false;
  const std::string texts[2] = {HighScoreFileText(), OptionsFileText()};
  for (int i = 0; i < 2; ++i) {
    if (i == 1 && stop("write options")) return false;
    const TWrite w = WriteSynced(Files()[i].Temp, texts[i], step, i == 0 ? "hs half written" : "options half written");
    if (w == TWrite::Stopped) return false;
    if (w == TWrite::Failed) {
      // The old pair stays as it was; the temporaries go.
      for (const TSaveFile& f : Files())
        if (IsRegularFile(f.Temp)) ::unlink(f.Temp.c_str());
      return false;
    }
  }
  if (stop("commit mark")) return false;
  const int mark = ::open(Mark().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (mark < 0) {
    const int err = errno;
    for (const TSaveFile& f : Files()) ::unlink(f.Temp.c_str());
    return Report(Mark(), std::strerror(err));
  }
  ::fsync(mark);
  ::close(mark);
  SyncFolder();
  if (!RenameTemps(&step)) return false;
  if (stop("remove mark")) return false;
  ::unlink(Mark().c_str());
  SyncFolder();
  return true;
}

void FinishInterruptedSave() {
  if (IsRegularFile(Mark())) {
    // Both new files were complete: finish what the stop left.
    if (RenameTemps(nullptr)) {
      ::unlink(Mark().c_str());
      SyncFolder();
    }
    return;
  }
  // No mark: a save stopped while writing; the old pair is whole.
  bool removed = false;
  for (const TSaveFile& f : Files())
    if (IsRegularFile(f.Temp)) removed = ::unlink(f.Temp.c_str()) == 0 || removed;
  if (removed) SyncFolder();
}

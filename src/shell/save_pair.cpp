#include "shell/save_pair.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "shell/highscores.h"
#include "shell/options_file.h"
#include "shell/save_files.h"

std::string SaveFailure;

namespace {

// Read afresh each time: start-up may move the saves to the player's data
// folder.
std::string Folder() { return SaveFolder; }
std::string Mark() { return SaveFolder + "/save.commit"; }

// A committed save whose renames failed at the start: its files are read
// where they lie, and nothing may be written over them until it is
// finished.
bool Unfinished = false;

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
  SaveFailure = what;
  return false;
}

enum class TEntry { Missing, Regular, Other, Unknown };

// What lies at Path. Only "no such file" counts as missing: any other
// failure to look (a disk error, no permission) says nothing either way.
TEntry EntryAt(const std::string& path, std::string& why) {
  struct stat st {};
  if (SaveCall("lstat", path, [&] { return ::lstat(path.c_str(), &st); }) == 0)
    return S_ISREG(st.st_mode) ? TEntry::Regular : TEntry::Other;
  if (errno == ENOENT) return TEntry::Missing;
  why = "cannot look at " + path + ": " + std::strerror(errno);
  return TEntry::Unknown;
}

// Renames the committed temporary files still there into place, then
// removes the mark; false (the mark kept) at the first step that fails.
// A temporary that is gone was renamed by an earlier try.
bool FinishCommitted(std::string& why) {
  for (const TSaveFile& f : Files()) {
    switch (EntryAt(f.Temp, why)) {
      case TEntry::Missing: continue;
      case TEntry::Unknown: return false;
      case TEntry::Other: why = f.Temp + " is not a file of the game"; return false;
      case TEntry::Regular: break;
    }
    if (!RenameFile(f.Temp, f.Path, why)) {
      why = "cannot rename " + f.Temp + ": " + why;
      return false;
    }
  }
  return SyncFolder(Folder(), why) && RemoveFile(Mark(), why) && SyncFolder(Folder(), why);
}

// After a failed write, before the commit: the old pair stays, the
// temporaries go.
void DropTemps() {
  std::string ignored;
  for (const TSaveFile& f : Files()) RemoveFile(f.Temp, ignored);
}

}  // namespace

bool SaveOptionsAndHighScores() {
  SaveFailure.clear();
  std::string why;
  if (!MakeSaveFolder(Folder(), why)) return Report(Folder(), why);
  // A mark here belongs to a committed save that the start could not
  // finish: finish it now, or leave it whole for the next start rather than
  // write this game's files over half of it.
  switch (EntryAt(Mark(), why)) {
    case TEntry::Missing: break;
    case TEntry::Unknown: return Report(Mark(), why);
    default:
      if (!FinishCommitted(why)) return Report(Mark(), "the last save is still unfinished: " + why);
  }
  Unfinished = false;
  const std::string texts[2] = {HighScoreFileText(), OptionsFileText()};
  for (int i = 0; i < 2; ++i) {
    if (!WriteTempFile(Files()[i].Temp, texts[i], why)) {
      DropTemps();
      return Report(Files()[i].Path, why);
    }
  }
  // Both new files and their names on the disk before the mark says they
  // are complete, and the mark on the disk before the first rename.
  const int mark = SaveCall("open", Mark(), [&] {
    return ::open(Mark().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  });
  if (mark < 0) {
    why = std::strerror(errno);
    DropTemps();
    return Report(Mark(), why);
  }
  SaveCall("close", Mark(), [&] { return ::close(mark); });  // an empty file: nothing to lose
  if (!SyncFolder(Folder(), why)) {
    // Not known to be on the disk: not committed. The old pair stays.
    std::string ignored;
    RemoveFile(Mark(), ignored);
    DropTemps();
    return Report(Mark(), why);
  }
  // Committed: from here a failure leaves the mark, and the next start (or
  // this one's next exit) finishes the renames.
  if (!FinishCommitted(why)) return Report(Folder(), why);
  return true;
}

void FinishInterruptedSave() {
  Unfinished = false;
  std::string why;
  switch (EntryAt(Mark(), why)) {
    case TEntry::Missing: {
      // No mark: a save stopped while writing; the old pair is whole, and
      // only regular files at the temporary names can be ours.
      for (const TSaveFile& f : Files())
        if (EntryAt(f.Temp, why) == TEntry::Regular) RemoveFile(f.Temp, why);
      return;
    }
    case TEntry::Unknown: break;
    default:
      // Both new files were complete: finish what the stop left.
      if (FinishCommitted(why)) return;
  }
  Unfinished = true;
  std::fprintf(stderr,
               "voltrace2: the last save could not be finished (%s); the game starts with it and tries again "
               "at exit\n",
               why.c_str());
}

std::string SaveFileToRead(const std::string& path) {
  if (!Unfinished) return path;
  const std::string temp = path + ".new";
  std::string why;
  return EntryAt(temp, why) == TEntry::Regular ? temp : path;
}

#pragma once
// Reading and writing the small text files in Data/Save.
#include <cerrno>
#include <string>
#include <vector>

// Where the options and highscores live: "Data/Save" beside the game unless
// start-up chose the player's own folder (see save_location.h).
extern std::string SaveFolder;

// The file's lines without their CR LF (or LF) endings; false when the file
// cannot be opened for reading.
bool ReadLines(const std::string& path, std::vector<std::string>& lines);

// Replaces the file as a whole: the text goes to a temporary file beside it,
// which is flushed to the disk and then renamed over the old one, so an
// interrupted save never destroys the previous file. Creates the folder when
// it is missing. On failure the old file stays, the reason goes to stderr
// and the result is false.
bool WriteFileSafely(const std::string& path, const std::string& contents);

// The steps every save is made of, each false with the reason in Why.
// Creates Folder and the folders above it that are missing.
bool MakeSaveFolder(const std::string& folder, std::string& why);
// Writes Contents to the temporary file Temp, made afresh: whatever was at
// that name before (a pipe, a link, a file of an earlier save) is removed,
// never opened or followed, and the new file is on the disk on return.
bool WriteTempFile(const std::string& temp, const std::string& contents, std::string& why);
// Makes the folder's entries (new files, renames, removals) durable.
bool SyncFolder(const std::string& folder, std::string& why);
bool RenameFile(const std::string& from, const std::string& to, std::string& why);
// Removes the file; one that is not there counts as removed.
bool RemoveFile(const std::string& path, std::string& why);

// Test seam: every system call of a save asks this first, with the call's
// name ("mkdir", "stat", "lstat", "unlink", "open", "write", "fsync",
// "close", "rename") and the path it is about. An errno returned fails the call with
// it, the call not made; 0 lets it run. A test stands for a kill by ending
// the process inside it.
extern int (*SaveCallHook)(const char* call, const std::string& path);
// Runs the system call Run, unless the hook fails it first.
template <class F>
auto SaveCall(const char* call, const std::string& path, F run) -> decltype(run()) {
  if (const int e = SaveCallHook ? SaveCallHook(call, path) : 0) {
    errno = e;
    return -1;
  }
  return run();
}

// A whole line holding a decimal 32-bit integer, with an optional sign;
// spaces before it and anything after the digits are ignored, as the game
// has always read its numbers. False when there is no number.
bool ParseSaveInteger(const std::string& line, int& value);

#pragma once
// The two files written when the game ends, options and hs, as one change.
// The options hold the checksum of the table, so an options file of one
// game beside the table of another would make the next start throw the
// table away. Both are written to temporary files first; only when both are
// complete is a commit mark made, then both are renamed into place and the
// mark removed. A start after a stop at any moment finds either the old
// pair, or the mark and finishes the renames (FinishInterruptedSave).
#include <string>

// ShutDown's save. False (the reason on stderr and in SaveFailure) when
// either file could not be written; then the old pair stays as it was. A
// committed save that the start could not finish is finished first; when
// it still cannot be, nothing is written over it.
bool SaveOptionsAndHighScores();

// Why the last SaveOptionsAndHighScores failed, for the player.
extern std::string SaveFailure;

// Start-up, before the files are read: finishes a committed pair that a stop
// left half renamed, or throws away the temporary files of a save that
// stopped before its commit. A committed pair whose renames fail again is
// left as it is and read where it lies (SaveFileToRead), and the exit save
// tries again; one line on stderr says so.
void FinishInterruptedSave();

// The file the start reads for the save file Path: Path itself, or its
// committed new file while a committed save is still unfinished.
std::string SaveFileToRead(const std::string& path);

#pragma once
// The two files written when the game ends, options and hs, as one change.
// The options hold the checksum of the table, so an options file of one
// game beside the table of another would make the next start throw the
// table away. Both are written to temporary files first; only when both are
// complete is a commit mark made, then both are renamed into place and the
// mark removed. A start after a stop at any moment finds either the old
// pair, or the mark and finishes the renames (FinishInterruptedSave).

// ShutDown's save. False (the reason on stderr) when either file could not
// be written; then the old pair stays as it was.
bool SaveOptionsAndHighScores();

// Start-up, before the files are read: finishes a committed pair that a stop
// left half renamed, or throws away the temporary files of a save that
// stopped before its commit.
void FinishInterruptedSave();

// Test seam: called before each step of SaveOptionsAndHighScores with the
// step's number (from 0) and name. When it returns true the save stops dead
// right there and leaves the files as they are, as a killed process would.
extern bool (*SaveStepHook)(int step, const char* name);

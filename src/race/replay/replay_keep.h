#pragma once
// The recordings kept beside the saves: the last game, and the best game
// for each start level. Written whole and atomically like the saves; a
// file that cannot be read as a recording is refused with one line on the
// standard error and treated as absent.
#include <string>

#include "race/replay/recording.h"

// The file of a kept recording: which is "last" or "best-<start level>".
std::string KeptRecordingPath(const std::string& which);

// The recorder, when a race has been left: the game becomes the last one,
// and the best of its start level when it scored more than the kept best
// (or none can be read).
void KeepFinishedRecording(const TRecording& recording);

// Reads a recording file; false (the reason in error) when it cannot be.
bool ReadRecordingFile(const std::string& path, TRecording& out, std::string& error);
// Writes it atomically; false when it could not be (the reason on stderr).
bool WriteRecordingFile(const std::string& path, const TRecording& recording);

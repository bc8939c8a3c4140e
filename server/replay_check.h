#pragma once
// What a recording must hold before it is worth replaying: frames the game
// itself produces. The race trusts its frame time and speed factor, so a
// recording could slow the race or stop its clock; each frame's pair must be
// one the game's own frame-rate measure gives at some rate the recorded
// display allows.
#include <string>

#include "race/replay/recording.h"

bool PlausibleRecording(const TRecording& recording, std::string& why);

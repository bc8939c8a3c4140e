#pragma once
// The game's recorder: every race is recorded as it is played, frame by
// frame, from what the race's tick takes (the keys, the lag, the frame time
// and scale) and the few events between ticks that change the race. When
// the race is left, the recording is kept beside the saves (replay_keep.h).
#include "race/replay/recording.h"

// The frame loop calls this on every frame after the keys are read and
// before the screen's tick runs. It notices a race starting or ending by
// itself.
void RecordFrame(int lagCount);

// The recording of the race being played, or of the last one when none is;
// nullptr when no race has been recorded since start-up, or when it cannot
// be played back (see SpoilRecording).
const TRecording* LatestRecording();

// The script runner's shortcuts change the race from outside its keys (a
// given pickup, a set score, a jump to a level): such a race cannot be
// played back, so it is neither kept nor given out. A jump made before the
// race's first frame is the one exception: the race then starts at that
// level, and so does its playback.
void SpoilRecording();
void RecordLevelJump(int level);

// A new game (tests): nothing recorded, nothing kept.
void ResetRecorder();

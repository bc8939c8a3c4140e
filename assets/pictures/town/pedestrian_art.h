#pragma once
// The town's pedestrians, seen from straight above: "Man_Left", "Man_Right",
// "Man_Up", "Man_Down" (five frames of a walk each) and "Man_Laying" (one
// frame, run over), and the same five pictures for "Girl_". A man wears a
// blue jacket and khaki trousers and has short dark hair; a woman a red dress and long
// fair hair, so the two are told apart at a glance even at this size.
#include <string>

#include "assets/catalog.h"
#include "gfx/surface.h"

namespace pedestrians {

// Every pattern is this square; the run-over test measures the same box.
inline constexpr int PatternSize = 24;
inline constexpr int WalkFrames = 5;

}  // namespace pedestrians

void AddPedestrianArt(TImageItems& res2);
// Every frame of both figures, enlarged on paving and on asphalt.
void WritePedestrianPreviews(const TImageItems& res1, const TImageItems& res2, const std::string& dir);

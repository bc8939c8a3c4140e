// The score service replays races without drawing a letter: its copy of the
// game's text layer opens no font, so the service needs no font engine and
// no SDL, and a replay cannot depend on the fonts a server has installed.
// Linked ahead of the game's libraries, this keeps the game's font engine
// (and SDL behind it) out of the service's program.
#include "gfx/font_raster.h"

std::unique_ptr<TFontRaster> OpenFontRaster(const std::string&, int, bool) { return nullptr; }

TFontFile ResolveFontFile(const std::string&) { return {}; }

void SetFontDirectory(const std::string&) {}

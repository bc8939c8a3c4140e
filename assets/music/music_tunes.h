#pragma once
// The game's two tracker tunes: the night-drive theme under every menu
// screen and the driving theme of the race. Each is composed as note data
// over the synthesised instruments and comes back as a whole module.
#include "assets/music/xm_writer.h"

xm::TModule MenuTune();  // written to Data/Music/Menu.xm
xm::TModule RaceTune();  // written to Data/Music/Race.xm

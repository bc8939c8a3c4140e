#pragma once
// Where the game finds its Data folder and where a player's saves go when
// the game cannot write beside itself.
#include <string>

// Makes the folder holding the game's Data the working directory, so that
// the game finds its archives, music and saves (and "play.url" and the
// launcher) however it was started: Data beside the program (the game
// unpacked or just built), else the installed data folder next to the
// program's bin folder, else the working directory as it is. Returns the
// folder chosen.
std::string EnterGameFolder();

// The player's data folder for the game's saves (XDG data directory on
// Linux: ~/.local/share/voltrace2/Save), created on the way; empty when
// there is none.
std::string UserSaveFolder();

#pragma once
// Reading and writing the small text files in Data/Save.
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

// A whole line holding a decimal 32-bit integer, with an optional sign;
// spaces before it and anything after the digits are ignored, as the game
// has always read its numbers. False when there is no number.
bool ParseSaveInteger(const std::string& line, int& value);

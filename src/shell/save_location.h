#pragma once
// Where the options and highscores are kept. A game unpacked somewhere of the
// player's own saves beside itself, as it always has; a game installed for
// the whole system cannot, and its saves then go to the player's data folder.
#include <functional>
#include <string>

// True when a file can be created in Folder (created first if missing).
bool FolderWritable(const std::string& folder);

// Chosen once at start-up, before the save files are read. GameFolder is the
// game's own "Data/Save"; UserFolderOf gives the player's data folder for
// this game, asked only when needed (empty when the desktop gives none).
// Sets SaveFolder to
//  - GameFolder when it can be created and written;
//  - else the player's folder, when that can: the first time, the game's own
//    saves (if any) are copied there, so a player's table and settings
//    survive the move;
//  - else GameFolder still, so the game's own saves are read; they cannot be
//    kept at exit, which the message says.
// Writable tells whether a folder can be written (tests stand in for a
// read-only disk with it). Returns the one line that tells the player where
// the game saves.
std::string ChooseSaveFolder(const std::string& gameFolder, const std::function<std::string()>& userFolderOf,
                             const std::function<bool(const std::string&)>& writable = FolderWritable);

// The same choice for a game installed for the whole system: its saves are
// always the player's own, in the player's data folder, and the install tree
// is never written, whoever plays (root can write there, and every new
// player would then start from root's table). Nothing is copied from the
// install tree. With no data folder at all, or one that cannot be written,
// the game plays on and says that nothing will be kept.
std::string ChooseInstalledSaveFolder(const std::function<std::string()>& userFolderOf,
                                      const std::function<bool(const std::string&)>& writable = FolderWritable);

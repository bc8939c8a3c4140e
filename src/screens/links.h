#pragma once
#include <string>

// Opens a link file, an address or a program with the desktop's "open"
// action. False when there is nothing to open (a file that does not exist
// is not handed on at all) or the desktop could not open it.
bool OpenLink(const std::string& target);

// Main-menu item 3 and highscores item 2: open "moregames.url" or the online
// table's page, or, when that link leads nowhere, say so on the screen
// under the button.
void OpenMoreGames();
void OpenOnlineTable();

// The line shown after a link led nowhere (Windows-1251), empty when none;
// it stays for LinkNoticeMs of frame time or until its screen closes.
extern std::string LinkNotice;
constexpr int LinkNoticeMs = 3000;
// Printed by the main menu's and the highscores screen's ticks over their
// sprites; counts the notice's time down.
void DrawLinkNotice();
void ClearLinkNotice();

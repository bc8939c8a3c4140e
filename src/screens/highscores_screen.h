#pragma once
// The top-ten screen: the table, clearing it, and the online table.
void OpenHighscores();
void HighscoresTick(int moveCount);
void DrawHighscoreTable();
void CloseHighscores();
// Enter or a click with an entry's replay chosen (the arrows left and
// right, or the mouse on its "ПОВТОР" tag): the replay starts. False when
// none is chosen.
bool WatchChosenReplay();
void ResetHighscoresScreen();

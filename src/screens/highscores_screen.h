#pragma once
// The top-ten screen: the table, clearing it, and the online table.
void OpenHighscores();
void HighscoresTick(int moveCount);
void DrawHighscoreTable();
void CloseHighscores();
void ResetHighscoresScreen();

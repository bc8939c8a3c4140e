#pragma once
// Folder race/: the race as a screen and the windows over any screen, with
// race/player/ (the player's car) and race/world/ (the town and what lives in
// it). Uses every lower folder and, as peers, the screens the windows open.
// The car and the town never call up into the race's flow: they report in
// RaceEvents and the race's state, and race.cpp alone acts on it.
//
// The race as a screen: levels, the clock, the panel, and the end of a
// level. The car, the road and the roadside objects are called from here in
// a fixed order each tick.

class TPointer;
class TMyImageSprite;

extern TPointer* Speedometer;
extern TMyImageSprite* PanelSprite;
extern TMyImageSprite* SmallCarSprite;
extern TMyImageSprite* EnergySprite;
extern TMyImageSprite* NitroIconSprite;
extern TMyImageSprite* WeaponIconSprite;

// The start item of the car selection: a new race at level 1.
void StartRace();
// Level number, road length, time, pickups and traffic for a level, then a
// new town.
void SetLevel(int level);
// The next level (Next) or the same level again with a new town.
void StartLevel(bool next);
void RaceTick(int moveCount);
// What the car reported in RaceEvents during the sprites' move, acted on:
// the lamps after a new start, the game-over window after the last life,
// the level's end once the car has stopped. RaceTick calls it right after
// the sprites have moved.
void ActOnRaceEvents();
// The panel's texts and sprites; also drawn under every window over the race.
void DrawHud();
// Back to the menus: every race sprite goes.
void CloseRace();
// The car has stopped after the finish or when the time ran out: the time
// bonus runs down, then the next level, a retry or the end of the game.
void RaceEndStep();

void UpdateClock();
void UpdateSpeedometer();
void UpdateProgressMarker();
void RefreshBackground();
void ResetRace();
// The panel's words follow a change of language.
void RaceLanguageChanged();

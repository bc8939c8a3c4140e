#pragma once
// The town builder: a road from the start at the bottom of the map up to the
// finish, splitting, joining, drifting and widening on the way, lined with
// sidewalks, walled blocks, houses with side streets, plazas and yard
// objects. Every decision comes from the game's Random, so a seed replays
// the same town.
#include <cstdint>

// Where the town builder takes its draws: the game's Random, so that a seed
// replays the same town; a test may script them.
extern int (*TownRandom)(int n);

// Length of the current level's road in map rows (300 on level 1, growing
// by 200 a level up to 1300); set by the level set-up before GenerateTrack.
extern int TrackLength;

// The road piece being laid: 1 straight, 2 drift left, 3 drift right,
// 4 split into two roads, 5 join them, 6 open a median, 7 close it,
// 8 add a lane on the right, 9 drop it, 10 add a lane on the left, 11 drop it.
extern int SegmentKind;
// Rows left before the next piece is chosen.
extern int SegmentRowsLeft;

// Starts a piece: six rows for the straights and drifts, twenty for the
// others.
void SetSegment(int kind);

// True when every tile of TrackMap rows row .. row + rows - 1, columns
// column .. column + columns - 1 is still unbuilt (255). An area reaching
// past the map's edge is never empty, so nothing is built across it.
bool AreaEmpty(int column, int row, int rows, int columns);

// Builds TrackMap for TrackLength and puts the view origin at the start
// (MapRow 1488, MapCol 318). The caller then refreshes the road sprite
// (RefreshBackground) so the first frame shows the new town.
void GenerateTrack();

// A map-sized grid of tiles somewhere in memory: TrackMap itself, or a copy
// with room around it so that a stray write would show.
struct TTownGrid {
  uint8_t* Cells;  // the tile at row 1, column 1
  int Stride;      // bytes from one row to the next, at least MapColumns
};

// The whole build on Grid for a road of Length rows: clears it, lays the
// starting straight, starts a straight piece and grows the rest.
void BuildTown(TTownGrid grid, int length);
// Grows the town from whatever road the grid holds in rows 1480 and below
// with the current SegmentKind: the road, the roadside, plazas, yard
// objects, then plain ground for every tile left unbuilt.
void GrowTown(TTownGrid grid, int length);
// One tile (row r, column c) of GrowTown's roadside pass: the edge rules,
// then from row 1496 up the gap and street-end rules and from row 1494 up
// the structure rules with their draw, anchored one row below and one
// column right of the tile.
void LayRoadsideTile(TTownGrid grid, int r, int c);

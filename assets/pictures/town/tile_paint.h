#pragma once
// Shared pieces of the town tiles. The ground materials (grass, sidewalk
// paving, plaza paving, asphalt) are functions of the position inside a
// 72 x 72 tile and repeat every tile, so wherever two tiles show the same
// material at their common edge they join without a seam. Raised things
// (roofs, walls, trees, kiosks) are drawn with Cairo over that ground and
// keep themselves and their shadows inside their own tiles.
#include <cairo.h>

#include <cstdint>
#include <functional>
#include <numbers>
#include <vector>

#include "gfx/surface.h"
#include "assets/paint/paint.h"

namespace tiles {

constexpr int kTile = 72;
constexpr double kPi = std::numbers::pi;

struct TColour {
  double R = 0, G = 0, B = 0;
};
TColour Hex(uint32_t rgb);
TColour Mix(TColour a, TColour b, double t);
TColour Scale(TColour c, double k);
void SetColour(cairo_t* cr, TColour c, double alpha = 1.0);

double Smooth(double e0, double e1, double x);
// Into [0, 72): the position inside the tile of a scene coordinate.
double Wrap(double v);

// Value noise repeating every tile, with `cells` lattice cells across it.
double TiledNoise(double x, double y, int cells, uint32_t seed);
double TiledFbm(double x, double y, int cells, int octaves, uint32_t seed);
// One value per pixel in [-0.5, 0.5), repeating every tile.
double TiledHash(double x, double y, uint32_t seed);

// ---- Ground -----------------------------------------------------------------

// Muted lawn with darker patches; the same on every grass tile.
TColour Grass(double x, double y);
// Warm grey sidewalk slabs on an 18-pixel grid whose joints run along the
// tile edges. `slabSeed` varies the tone of single slabs only.
TColour SidewalkPaving(double x, double y, uint32_t slabSeed);
// Light plaza paving on a 24-pixel grid.
TColour PlazaPaving(double x, double y, uint32_t slabSeed);
// Bare asphalt with fine grain and a faint large-scale mottle.
TColour Asphalt(double x, double y);

using TShader = std::function<TColour(double x, double y)>;
// Fills the canvas with the shader, averaging samples x samples points per
// pixel (antialiasing without reaching into a neighbouring pixel).
void PaintPixels(const paint::TCanvas& canvas, const TShader& shader, int samples = 3);
// The grass tufts of every lawn, repeated every tile and clipped to the canvas.
void GrassTufts(const paint::TCanvas& canvas);
// A whole tile of lawn: the grass and its tufts.
void PaintLawn(const paint::TCanvas& canvas);

// ---- Raised things ----------------------------------------------------------

struct TPoint {
  double X, Y;
};
void PathPolygon(cairo_t* cr, const std::vector<TPoint>& points);
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);

// The soft shadow a raised shape casts to the bottom-right: `shape` adds the
// outline to the path in canvas coordinates.
void DropShadow(const paint::TCanvas& canvas, const std::function<void(cairo_t*)>& shape, double offset = 5.0,
                double opacity = 0.35, double blur = 1.6);

enum class TRoofKind { Terracotta, Slate, Tin, Felt };
// One plane of a pitched roof: its outline and the direction water runs off
// it in the picture (a unit vector). Its brightness follows the light from
// the top-left; its texture runs along the eaves.
void RoofFacet(cairo_t* cr, const std::vector<TPoint>& outline, TPoint downslope, TRoofKind kind, uint32_t seed);
void RidgeLine(cairo_t* cr, TPoint a, TPoint b, TRoofKind kind);
// A hipped roof over the rectangle, its ridge along the longer side.
void HipRoof(cairo_t* cr, double x0, double y0, double x1, double y1, TRoofKind kind, uint32_t seed);
// A gabled roof over the rectangle, ridge along x or along y.
void GableRoof(cairo_t* cr, double x0, double y0, double x1, double y1, bool ridgeAlongX, TRoofKind kind,
               uint32_t seed);
// A brick chimney stack with its cap, top-left corner at (x, y).
void Chimney(const paint::TCanvas& canvas, double x, double y, double w, double h);

// A tree crown of radius r with its shadow; `hue` 0..1 shifts the green.
void Tree(const paint::TCanvas& canvas, double cx, double cy, double r, uint32_t seed, double hue = 0.5);

// ---- Sheets -----------------------------------------------------------------

// The 72 x 72 tile at tile column `col`, row `row` of a larger canvas.
TSurface CutTile(const paint::TCanvas& canvas, int col, int row);

}  // namespace tiles

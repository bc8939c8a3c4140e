// The font layer on SDL2_ttf, with fontconfig to find faces by name. The
// text canvas calls it when a style or a character is first printed and keeps
// what it gets, so a text printed every tick costs nothing here after that.
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <utility>
#include <vector>
#include <string_view>
#include <tuple>

#include "gfx/font_raster.h"
#include "platform/file_checks.h"

namespace {

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

// Faces of the same role, tried when the face the game names is missing.
// Each is a fontconfig pattern and the family the match must have. The first
// is the one the game is drawn for; Package is the Debian package that holds
// it, named to the player when it is missing.
struct TStandIn {
  const char* Pattern;
  const char* Family;
};
struct TRole {
  const char* Face;
  const char* Package;
  TStandIn StandIns[3];
};
const TRole Roles[] = {
    // The LCD face of the dashboard and counters: squarish, technical.
    {"DS Crystal", "fonts-jura", {{"Jura:medium", "Jura"}, {"Play", "Play"}, {nullptr, nullptr}}},
    // The display face of captions and titles: condensed and heavy.
    {"Beast Impacted", "fonts-paratype",
     {{"PT Sans Narrow:bold", "PT Sans Narrow"}, {nullptr, nullptr}, {nullptr, nullptr}}},
    // The monospace face of the typed-in texts.
    {"Courier", "fonts-liberation2",
     {{"Liberation Mono", "Liberation Mono"}, {"DejaVu Sans Mono", "DejaVu Sans Mono"}, {nullptr, nullptr}}},
};
const TStandIn LastResort = {"DejaVu Sans", "DejaVu Sans"};

std::string FontDirectory;
bool FontDirectorySet = false;

const std::string& FontDir() {
  if (!FontDirectorySet) {
    FontDirectorySet = true;
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    std::string exe = n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
    const size_t slash = exe.rfind('/');
    FontDirectory = (slash == std::string::npos ? std::string(".") : exe.substr(0, slash)) + "/Data/Fonts";
    // An installed game keeps its Data apart from the program, in the
    // folder it starts in.
    if (access((FontDirectory + "/fonts.txt").c_str(), R_OK) != 0 && access("Data/Fonts/fonts.txt", R_OK) == 0) {
      char cwd[PATH_MAX];
      if (getcwd(cwd, sizeof cwd)) FontDirectory = std::string(cwd) + "/Data/Fonts";
    }
  }
  return FontDirectory;
}

// Data/Fonts/fonts.txt: "Face name=file name" per line, written at build time.
const std::map<std::string, std::string>& ShippedFonts() {
  static std::string loadedFrom;
  static std::map<std::string, std::string> table;
  if (loadedFrom != FontDir()) {
    loadedFrom = FontDir();
    table.clear();
    std::ifstream in;
    if (IsSaneFile(loadedFrom + "/fonts.txt", MaxSaveFileBytes)) in.open(loadedFrom + "/fonts.txt");
    std::string line;
    while (std::getline(in, line)) {
      const size_t eq = line.find('=');
      if (eq == std::string::npos || Trim(line).starts_with('#')) continue;
      std::string face = Trim(line.substr(0, eq)), file = Trim(line.substr(eq + 1));
      std::transform(face.begin(), face.end(), face.begin(), [](unsigned char c) { return std::tolower(c); });
      if (!face.empty() && !file.empty()) table[face] = loadedFrom + "/" + file;
    }
  }
  return table;
}

// The installed face matching Pattern, provided its family is Family.
bool MatchInstalled(const char* pattern, const char* family, TFontFile& out) {
  static const bool ready = FcInit() == FcTrue;
  if (!ready) return false;
  FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
  if (!pat) return false;
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pat, &result);
  FcPatternDestroy(pat);
  if (!match) return false;
  bool found = false;
  FcChar8* name = nullptr;
  for (int i = 0; !found && FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
    found = SameName(reinterpret_cast<const char*>(name), family);
  FcChar8* file = nullptr;
  if (found && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
    int index = 0;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    out.Path = reinterpret_cast<const char*>(file);
    out.Index = index;
    out.Family = family;
  } else {
    found = false;
  }
  FcPatternDestroy(match);
  return found;
}

// The family a font file declares, or empty when it is no font.
std::string FamilyOfFile(const std::string& path) {
  int count = 0;
  FcPattern* pat = FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(path.c_str()), 0, nullptr, &count);
  if (!pat) return {};
  FcChar8* name = nullptr;
  std::string family;
  if (FcPatternGetString(pat, FC_FAMILY, 0, &name) == FcResultMatch) family = reinterpret_cast<const char*>(name);
  FcPatternDestroy(pat);
  return family;
}

// The game's own copy of the face, from Data/Fonts/fonts.txt; Key is the
// face's name in lower case, as the table holds it.
std::vector<TFontFile> SearchShipped(const std::string& key) {
  std::vector<TFontFile> list;
  const auto& shipped = ShippedFonts();
  if (auto it = shipped.find(key); it != shipped.end())
    if (std::string family = FamilyOfFile(it->second); !family.empty()) list.push_back({it->second, 0, family});
  return list;
}

// The face the game is drawn with is not installed: the player is told once
// which package brings it, and the game goes on with the next face.
void TellMissingPackage(const char* family, const char* package) {
  static std::set<std::string> told;
  if (!told.insert(package).second) return;
  std::fprintf(stderr,
               "Fonts: \"%s\" is not installed; install the Debian package %s (another face is used meanwhile)\n",
               family, package);
}

// The machine's faces: the named family, a stand-in of its role, the last resort.
std::vector<TFontFile> SearchInstalled(const std::string& faceName) {
  std::vector<TFontFile> list;
  TFontFile f;
  std::string exact;  // the name as a fontconfig pattern, its syntax characters escaped
  for (char c : faceName) {
    if (c == '-' || c == ':' || c == ',' || c == '\\') exact += '\\';
    exact += c;
  }
  const bool named = !exact.empty() && MatchInstalled(exact.c_str(), faceName.c_str(), f);
  if (named) list.push_back(f);
  for (const TRole& role : Roles) {
    if (!SameName(role.Face, faceName)) continue;
    for (const TStandIn& s : role.StandIns) {
      if (s.Pattern && MatchInstalled(s.Pattern, s.Family, f)) list.push_back(f);
      else if (!named && &s == &role.StandIns[0]) TellMissingPackage(s.Family, role.Package);
    }
  }
  if (MatchInstalled(LastResort.Pattern, LastResort.Family, f)) list.push_back(f);
  return list;
}

// The eighteen text styles name only three faces: each face is looked up
// once per font folder, and the machine's fonts (fontconfig's set-up is the
// costliest part of the start-up's text) only when the game's own copy of
// the face cannot be used.
const std::vector<TFontFile>& Candidates(const std::string& faceName, bool installed) {
  static std::map<std::tuple<std::string, std::string, bool>, std::vector<TFontFile>> found;
  std::string key = faceName;
  std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
  auto [it, isNew] = found.try_emplace({FontDir(), key, installed});
  if (isNew) it->second = installed ? SearchInstalled(faceName) : SearchShipped(key);
  return it->second;
}

bool TtfReady() {
  static const bool ready = [] {
    if (TTF_WasInit() == 0 && TTF_Init() != 0) {
      std::fprintf(stderr, "Fonts: %s\n", TTF_GetError());
      return false;
    }
    return true;
  }();
  return ready;
}

std::string Utf8Of(char32_t cp) {
  std::string s;
  if (cp == 0 || cp > 0x10FFFF) return s;
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (cp >> 18));
    s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return s;
}

bool LooksBold(const char* styleName) {
  if (!styleName) return false;
  std::string s = styleName;
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s.find("bold") != std::string::npos || s.find("black") != std::string::npos ||
         s.find("heavy") != std::string::npos;
}

class TTtfRaster final : public TFontRaster {
 public:
  TTtfRaster(TTF_Font* font, std::string family) : Font(font), FamilyName(std::move(family)) {
    Bold = LooksBold(TTF_FontFaceStyleName(font));
    // Pairs are adjusted by the text canvas, so measured lines must not be.
    TTF_SetFontKerning(Font, 0);
    MeasureSpace();
  }
  ~TTtfRaster() override { TTF_CloseFont(Font); }

  void Embolden() {
    if (Bold) return;
    TTF_SetFontStyle(Font, TTF_STYLE_BOLD);
    MeasureSpace();
  }

  int Ascent() const override { return TTF_FontAscent(Font); }
  int Descent() const override { return -TTF_FontDescent(Font); }
  int LineHeight() const override { return TTF_FontHeight(Font); }
  std::string Family() const override { return FamilyName; }
  bool FaceIsBold() const override { return Bold; }

  bool Glyph(char32_t codePoint, TGlyphImage& out) override {
    out = TGlyphImage{};
    int minX, maxX, minY, maxY, advance;
    if (TTF_GlyphMetrics32(Font, codePoint, &minX, &maxX, &minY, &maxY, &advance) != 0) return false;
    out.Advance = LaidOutAdvance(codePoint, minX, advance);
    // The engine renders a glyph as a one-glyph line: column 0 is the pen
    // position, or the glyph's left edge when that reaches left of the pen;
    // row 0 is the top of the line, or the glyph's top when that is higher.
    SDL_Surface* s = TTF_RenderGlyph32_Shaded(Font, codePoint, SDL_Color{255, 255, 255, 255},
                                              SDL_Color{0, 0, 0, 255});
    if (!s) return true;  // nothing to ink, e.g. a control character
    const int originX = std::min(minX, 0);
    const int originY = -std::max(maxY - TTF_FontAscent(Font), 0);
    uint8_t level[256] = {};
    const SDL_Palette* pal = s->format->palette;
    if (s->format->BytesPerPixel == 1 && pal) {
      for (int i = 0; i < pal->ncolors && i < 256; ++i) level[i] = pal->colors[i].r;
      SDL_LockSurface(s);
      int x0 = s->w, x1 = -1, y0 = s->h, y1 = -1;
      for (int y = 0; y < s->h; ++y) {
        const uint8_t* row = static_cast<const uint8_t*>(s->pixels) + static_cast<ptrdiff_t>(y) * s->pitch;
        for (int x = 0; x < s->w; ++x)
          if (level[row[x]]) x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = y;
      }
      if (x1 >= 0) {
        out.Left = originX + x0;
        out.Top = originY + y0;
        out.Width = x1 - x0 + 1;
        out.Height = y1 - y0 + 1;
        out.Coverage.resize(static_cast<size_t>(out.Width) * out.Height);
        for (int y = 0; y < out.Height; ++y) {
          const uint8_t* row =
              static_cast<const uint8_t*>(s->pixels) + static_cast<ptrdiff_t>(y0 + y) * s->pitch + x0;
          for (int x = 0; x < out.Width; ++x) out.Coverage[static_cast<size_t>(y) * out.Width + x] = level[row[x]];
        }
      }
      SDL_UnlockSurface(s);
    }
    SDL_FreeSurface(s);
    return true;
  }

  // The pen movement the engine itself uses when it lays out a line: the
  // advance rounded to whole pixels, where the metrics call rounds it up.
  // Read off the width of the glyph followed by a space, less a lone space.
  int LaidOutAdvance(char32_t codePoint, int minX, int roundedUp) {
    const std::string one = Utf8Of(codePoint);
    if (one.empty() || SpaceWidth < 0) return roundedUp;
    int w = 0, h = 0;
    if (TTF_SizeUTF8(Font, (one + " ").c_str(), &w, &h) != 0) return roundedUp;
    const int advance = w - SpaceWidth + std::min(minX, 0);
    return advance >= roundedUp - 1 && advance <= roundedUp ? advance : roundedUp;
  }

  int Kerning(char32_t left, char32_t right) override {
    return TTF_GetFontKerningSizeGlyphs32(Font, left, right);
  }

 private:
  void MeasureSpace() {
    int w = 0, h = 0;
    SpaceWidth = TTF_SizeUTF8(Font, " ", &w, &h) == 0 && w > 0 ? w : -1;
  }

  TTF_Font* Font;
  std::string FamilyName;
  bool Bold = false;
  int SpaceWidth = -1;  // a lone space's line width, -1 when the face has none
};

}  // namespace

void SetFontDirectory(const std::string& dir) {
  FontDirectory = dir;
  FontDirectorySet = !dir.empty();
}

TFontFile ResolveFontFile(const std::string& faceName) {
  for (const bool installed : {false, true})
    for (const TFontFile& f : Candidates(faceName, installed))
      if (IsSaneFile(f.Path, MaxFontBytes)) return f;
  return {};
}

std::unique_ptr<TFontRaster> OpenFontRaster(const std::string& faceName, int points, bool bold) {
  if (!TtfReady()) return nullptr;
  for (const bool installed : {false, true})
    for (const TFontFile& f : Candidates(faceName, installed)) {
      // The font library is only handed real font files, never a folder.
      if (!IsSaneFile(f.Path, MaxFontBytes)) continue;
      TTF_Font* font = TTF_OpenFontIndexDPI(f.Path.c_str(), std::max(points, 1), f.Index, 96, 96);
      if (!font) continue;
      const char* family = TTF_FontFaceFamilyName(font);
      auto raster = std::make_unique<TTtfRaster>(font, family ? family : f.Family);
      if (bold) raster->Embolden();
      return raster;
    }
  std::fprintf(stderr, "Fonts: no font found for \"%s\"\n", faceName.c_str());
  return nullptr;
}

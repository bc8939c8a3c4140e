#include "sprites/archive_format.h"

#include <png.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "gfx/cp1251.h"
#include "platform/file_checks.h"
#include "sprites/archive_file.h"
#include "sprites/component_stream.h"
#include "sprites/lookup_error.h"

namespace {

// What a load may take, held to what the game's archives need: its largest
// picture is the menu's background, 792 x 592 (under half a million
// pixels), the widest 1024 pixels wide, and an archive holds about two
// million pixels in all. A header claiming far more is not one of the game's
// pictures, and refusing it keeps a bad size from reaching an allocation:
// a small PNG can claim gigabytes.
constexpr uint32_t MaxImageSide = 8192;
constexpr uint64_t MaxImagePixels = uint64_t{1} << 22;
constexpr uint64_t MaxArchivePixels = uint64_t{1} << 24;
// Every header of a picture lies in its first bytes: the class name (at
// most 255 bytes), the bitmap's length and every BMP header field that
// ReadBmpLayout reads.
constexpr size_t PictureHeadBytes = 400;

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
uint32_t Be32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}
void PutLe16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
  PutLe16(out, v & 0xFFFF);
  PutLe16(out, v >> 16);
}

[[noreturn]] void Fail(const std::string& problem) { throw EArchiveError(problem); }

void CheckImageSize(uint64_t w, uint64_t h, const char* kind) {
  if (w == 0 || h == 0 || w > MaxImageSide || h > MaxImageSide || w * h > MaxImagePixels)
    Fail(std::string(kind) + " has an impossible size " + std::to_string(w) + "x" + std::to_string(h) +
         " (a picture of the game has at most " + std::to_string(MaxImageSide) + " pixels a side and " +
         std::to_string(MaxImagePixels) + " in all)");
}

// ---------------------------------------------------------------- BMP

// One colour channel of a 16- or 32-bit pixel under a bit mask, scaled to 0..255.
struct TChannel {
  uint32_t Mask = 0;
  int Shift = 0;
  uint32_t Max = 0;

  explicit TChannel(uint32_t mask) : Mask(mask) {
    if (!mask) return;
    while (!((mask >> Shift) & 1)) ++Shift;
    Max = mask >> Shift;
  }
  uint32_t Of(uint32_t px) const {
    if (!Mask) return 0;
    return static_cast<uint32_t>((static_cast<uint64_t>((px & Mask) >> Shift) * 255 + Max / 2) / Max);
  }
};

// A palette BMP's colour count: all its bit depth allows, or fewer if the
// header says so.
uint32_t PaletteEntries(const uint8_t* p, uint16_t bpp) {
  const uint32_t entries = 1u << bpp, colorsUsed = Le32(p + 46);
  return colorsUsed != 0 && colorsUsed < entries ? colorsUsed : entries;
}

// What a BMP's headers say, every size checked against the bytes present:
// once this is read, turning the pixels into a bitmap cannot fail.
struct TBmpLayout {
  int32_t Width = 0;
  uint32_t Height = 0;
  bool TopDown = false;
  uint16_t Bpp = 0;
  uint32_t Compression = 0;
  uint32_t OffBits = 0;
  uint64_t Stride = 0;
  TChannel Red{0}, Green{0}, Blue{0};
};

TBmpLayout ReadBmpLayout(const uint8_t* p, size_t n) {
  if (n < 2 || p[0] != 'B' || p[1] != 'M') Fail("bitmap data is not a BMP file");
  if (n < 14 + 40) Fail("BMP headers are truncated");
  TBmpLayout b;
  b.OffBits = Le32(p + 10);
  uint32_t headerSize = Le32(p + 14);
  if (headerSize < 40) Fail("BMP header of " + std::to_string(headerSize) + " bytes is not supported");
  if (headerSize > n - 14) Fail("BMP header is truncated");
  b.Width = static_cast<int32_t>(Le32(p + 18));
  int32_t rawHeight = static_cast<int32_t>(Le32(p + 22));
  b.Bpp = Le16(p + 28);
  b.Compression = Le32(p + 30);
  if (b.Width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN)
    Fail("BMP has an impossible size " + std::to_string(b.Width) + "x" + std::to_string(rawHeight));
  b.TopDown = rawHeight < 0;
  b.Height = static_cast<uint32_t>(b.TopDown ? -rawHeight : rawHeight);
  CheckImageSize(static_cast<uint32_t>(b.Width), b.Height, "BMP");

  if (b.Compression == 3) {  // bit fields: three masks right after the 40-byte header
    if (b.Bpp != 16 && b.Bpp != 32) Fail("BMP bit fields with " + std::to_string(b.Bpp) + " bits per pixel");
    if (n < 14 + 40 + 12) Fail("BMP colour masks are truncated");
    b.Red = TChannel(Le32(p + 54));
    b.Green = TChannel(Le32(p + 58));
    b.Blue = TChannel(Le32(p + 62));
  } else if (b.Compression != 0) {
    Fail("compressed BMP (method " + std::to_string(b.Compression) + ") is not supported");
  } else if (b.Bpp == 16) {
    b.Red = TChannel(0x7C00), b.Green = TChannel(0x03E0), b.Blue = TChannel(0x001F);
  }
  if (b.Bpp != 1 && b.Bpp != 4 && b.Bpp != 8 && b.Bpp != 16 && b.Bpp != 24 && b.Bpp != 32)
    Fail("BMP with " + std::to_string(b.Bpp) + " bits per pixel is not supported");
  if (b.Bpp <= 8 && 14 + static_cast<size_t>(headerSize) + static_cast<size_t>(PaletteEntries(p, b.Bpp)) * 4 > n)
    Fail("BMP palette is truncated");

  b.Stride = (static_cast<uint64_t>(b.Width) * b.Bpp + 31) / 32 * 4;
  uint64_t needed = static_cast<uint64_t>(b.OffBits) + b.Stride * b.Height;
  if (needed > n)
    Fail("BMP pixel data is truncated (" + std::to_string(needed) + " bytes needed, " + std::to_string(n) +
         " present)");
  return b;
}

TSurface DecodeBmp(const uint8_t* p, size_t n) {
  const TBmpLayout b = ReadBmpLayout(p, n);
  uint32_t palette[256] = {};
  if (b.Bpp <= 8) {
    const uint32_t entries = PaletteEntries(p, b.Bpp);
    const uint8_t* table = p + 14 + Le32(p + 14);
    for (uint32_t i = 0; i < entries; ++i) {
      const uint8_t* q = table + i * 4;
      palette[i] = (static_cast<uint32_t>(q[2]) << 16) | (static_cast<uint32_t>(q[1]) << 8) | q[0];
    }
  }

  TSurface s;
  s.Resize(b.Width, static_cast<int>(b.Height));
  for (uint32_t r = 0; r < b.Height; ++r) {
    const uint8_t* src = p + b.OffBits + b.Stride * r;
    uint32_t* dst = s.Row(static_cast<int>(b.TopDown ? r : b.Height - 1 - r));
    if (b.Bpp == 32 && b.Compression == 0) {
      // The archives' own kind, kept apart so the compiler can vectorise it:
      // blue, green, red and an unused byte are our pixel, little-endian.
      for (int x = 0; x < b.Width; ++x) {
        dst[x] = Le32(src + x * 4) & 0xFFFFFF;
      }
      continue;
    }
    for (int x = 0; x < b.Width; ++x) {
      uint32_t c = 0;
      switch (b.Bpp) {
        case 1: c = palette[(src[x >> 3] >> (7 - (x & 7))) & 1]; break;
        case 4: c = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15]; break;
        case 8: c = palette[src[x]]; break;
        case 16: {
          uint32_t px = Le16(src + x * 2);
          c = (b.Red.Of(px) << 16) | (b.Green.Of(px) << 8) | b.Blue.Of(px);
          break;
        }
        case 24: {
          const uint8_t* q = src + x * 3;
          c = (static_cast<uint32_t>(q[2]) << 16) | (static_cast<uint32_t>(q[1]) << 8) | q[0];
          break;
        }
        case 32: {
          uint32_t px = Le32(src + x * 4);
          c = (b.Red.Of(px) << 16) | (b.Green.Of(px) << 8) | b.Blue.Of(px);
          break;
        }
      }
      dst[x] = c;
    }
  }
  return s;
}

// 32 bits per pixel, bottom-up, the fourth byte zero.
std::vector<uint8_t> EncodeBmp(const TSurface& s) {
  uint32_t imageSize = static_cast<uint32_t>(s.Width) * static_cast<uint32_t>(s.Height) * 4;
  std::vector<uint8_t> out;
  out.reserve(54 + imageSize);
  out.push_back('B');
  out.push_back('M');
  PutLe32(out, 54 + imageSize);
  PutLe32(out, 0);
  PutLe32(out, 54);
  PutLe32(out, 40);
  PutLe32(out, static_cast<uint32_t>(s.Width));
  PutLe32(out, static_cast<uint32_t>(s.Height));
  PutLe16(out, 1);
  PutLe16(out, 32);
  PutLe32(out, 0);
  PutLe32(out, imageSize);
  PutLe32(out, 0);
  PutLe32(out, 0);
  PutLe32(out, 0);
  PutLe32(out, 0);
  for (int y = s.Height - 1; y >= 0; --y) {
    const uint32_t* row = s.Row(y);
    for (int x = 0; x < s.Width; ++x) {
      out.push_back(static_cast<uint8_t>(row[x]));
      out.push_back(static_cast<uint8_t>(row[x] >> 8));
      out.push_back(static_cast<uint8_t>(row[x] >> 16));
      out.push_back(0);
    }
  }
  return out;
}

// ---------------------------------------------------------------- PNG

struct TPngInput {
  const uint8_t* Data;
  size_t Size;
  size_t Pos;
  char Error[160];
};

void PngReadBytes(png_structp png, png_bytep out, size_t n) {
  auto* in = static_cast<TPngInput*>(png_get_io_ptr(png));
  if (n > in->Size - in->Pos) png_error(png, "PNG data ends early");
  std::memcpy(out, in->Data + in->Pos, n);
  in->Pos += n;
}

void PngFail(png_structp png, png_const_charp message) {
  auto* in = static_cast<TPngInput*>(png_get_error_ptr(png));
  std::snprintf(in->Error, sizeof in->Error, "%s", message);
  png_longjmp(png, 1);
}

void PngWarn(png_structp, png_const_charp) {}

// libpng reports errors by longjmp, so this function holds nothing that
// needs a destructor: the caller owns the rows, sized from the IHDR it read.
bool ReadPngRgb(TPngInput* in, png_bytep* rows, png_uint_32 width, png_uint_32 height) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, in, PngFail, PngWarn);
  if (!png) {
    std::snprintf(in->Error, sizeof in->Error, "cannot start the PNG decoder");
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    std::snprintf(in->Error, sizeof in->Error, "cannot start the PNG decoder");
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, in, PngReadBytes);
  png_read_info(png, info);
  if (png_get_image_width(png, info) != width || png_get_image_height(png, info) != height)
    png_error(png, "PNG size changed while reading");
  int colorType = png_get_color_type(png, info);
  // Sixteen-bit channels keep their high byte, as the game's graphics library did.
  if (png_get_bit_depth(png, info) == 16) png_set_strip_16(png);
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
    png_set_expand_gray_1_2_4_to_8(png);
    png_set_gray_to_rgb(png);
  }
  png_set_packing(png);
  png_set_strip_alpha(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 3) png_error(png, "unexpected PNG pixel layout");
  png_read_image(png, rows);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

TSurface DecodePng(const uint8_t* p, size_t n) {
  if (n < 33 || png_sig_cmp(p, 0, 8) != 0) Fail("PNG data has no PNG signature");
  if (Be32(p + 8) != 13 || std::memcmp(p + 12, "IHDR", 4) != 0) Fail("PNG data does not start with IHDR");
  uint32_t width = Be32(p + 16), height = Be32(p + 20);
  CheckImageSize(width, height, "PNG");
  // Deflate expands at most about 1032 times; more pixels than that are a lie
  // about the size, refused before anything is allocated for them.
  uint64_t channels = p[25] == 2 ? 3 : p[25] == 4 ? 2 : p[25] == 6 ? 4 : 1;
  uint64_t rawRow = 1 + (width * channels * p[24] + 7) / 8;
  if (rawRow * height > static_cast<uint64_t>(n) * 1032 + 1024)
    Fail("PNG data is far too short for " + std::to_string(width) + "x" + std::to_string(height) + " pixels");

  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  std::vector<png_bytep> rows(height);
  for (uint32_t y = 0; y < height; ++y) rows[y] = rgb.data() + static_cast<size_t>(y) * width * 3;
  TPngInput in{p, n, 0, {}};
  if (!ReadPngRgb(&in, rows.data(), width, height)) Fail(std::string("PNG image: ") + in.Error);

  TSurface s;
  s.Resize(static_cast<int>(width), static_cast<int>(height));
  for (size_t i = 0; i < s.Pixels.size(); ++i)
    s.Pixels[i] = (static_cast<uint32_t>(rgb[i * 3]) << 16) | (static_cast<uint32_t>(rgb[i * 3 + 1]) << 8) |
                  rgb[i * 3 + 2];
  return s;
}

// ---------------------------------------------------------------- properties

bool SameName(const std::string& a, const char* b) {
  size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

std::string StringOf(const TStreamProperty& p) {
  const TStreamValue& v = p.Value;
  switch (v.Type) {
    case TValueType::vaString:
    case TValueType::vaLString: return v.Str;
    case TValueType::vaUTF8String: return Cp1251FromUtf8(v.Str);
    case TValueType::vaWString:
    case TValueType::vaUString: {
      std::string s;
      for (char16_t c : v.WStr) {
        unsigned char b = ByteOf1251(c);
        s += b || c == 0 ? static_cast<char>(b) : '?';
      }
      return s;
    }
    default: Fail("property " + p.Name + " is not a string");
  }
}

int IntOf(const TStreamProperty& p) {
  if (!p.Value.IsInteger()) Fail("property " + p.Name + " is not an integer");
  if (p.Value.Int < INT32_MIN || p.Value.Int > INT32_MAX)
    Fail("property " + p.Name + " = " + std::to_string(p.Value.Int) + " is out of range");
  return static_cast<int>(p.Value.Int);
}

bool BoolOf(const TStreamProperty& p) {
  if (!p.Value.IsBoolean()) Fail("property " + p.Name + " is not True or False");
  return p.Value.Type == TValueType::vaTrue;
}

std::span<const uint8_t> BinaryOf(const TStreamProperty& p) {
  if (p.Value.Type != TValueType::vaBinary) Fail("property " + p.Name + " is not binary data");
  return p.Value.BinaryData();
}

// Colour properties may be stored by their standard names.
int32_t ColorOf(const TStreamProperty& p) {
  if (p.Value.Type != TValueType::vaIdent) return IntOf(p);
  static const struct {
    const char* Name;
    uint32_t Value;
  } Colors[] = {
      {"clBlack", 0x000000},          {"clMaroon", 0x000080},         {"clGreen", 0x008000},
      {"clOlive", 0x008080},          {"clNavy", 0x800000},           {"clPurple", 0x800080},
      {"clTeal", 0x808000},           {"clGray", 0x808080},           {"clSilver", 0xC0C0C0},
      {"clRed", 0x0000FF},            {"clLime", 0x00FF00},           {"clYellow", 0x00FFFF},
      {"clBlue", 0xFF0000},           {"clFuchsia", 0xFF00FF},        {"clAqua", 0xFFFF00},
      {"clWhite", 0xFFFFFF},          {"clLtGray", 0xC0C0C0},         {"clDkGray", 0x808080},
      {"clMoneyGreen", 0xC0DCC0},     {"clSkyBlue", 0xF0CAA6},        {"clCream", 0xF0FBFF},
      {"clMedGray", 0xA4A0A0},        {"clNone", 0x1FFFFFFF},         {"clDefault", 0x20000000},
      {"clScrollBar", 0xFF000000},    {"clBackground", 0xFF000001},   {"clActiveCaption", 0xFF000002},
      {"clInactiveCaption", 0xFF000003}, {"clMenu", 0xFF000004},      {"clWindow", 0xFF000005},
      {"clWindowFrame", 0xFF000006},  {"clMenuText", 0xFF000007},     {"clWindowText", 0xFF000008},
      {"clCaptionText", 0xFF000009},  {"clActiveBorder", 0xFF00000A}, {"clInactiveBorder", 0xFF00000B},
      {"clAppWorkSpace", 0xFF00000C}, {"clHighlight", 0xFF00000D},    {"clHighlightText", 0xFF00000E},
      {"clBtnFace", 0xFF00000F},      {"clBtnShadow", 0xFF000010},    {"clGrayText", 0xFF000011},
      {"clBtnText", 0xFF000012},      {"clInactiveCaptionText", 0xFF000013},
      {"clBtnHighlight", 0xFF000014}, {"cl3DDkShadow", 0xFF000015},   {"cl3DLight", 0xFF000016},
      {"clInfoText", 0xFF000017},     {"clInfoBk", 0xFF000018},
  };
  for (const auto& c : Colors)
    if (SameName(p.Value.Str, c.Name)) return static_cast<int32_t>(c.Value);
  Fail("property " + p.Name + " = " + p.Value.Str + " is not a colour");
}

const TStreamValue& ListOf(const TStreamObject& root) {
  const TStreamProperty* list = root.FindProperty("List");
  if (!list) Fail("no List collection in the archive");
  if (list->Value.Type != TValueType::vaCollection) Fail("List is not a collection");
  return list->Value;
}

// "List item 3 ('blob')": where an item's error happened, named as well as
// the item lets us before its Name is known to be sound.
std::string ItemLabel(size_t index, const TStreamCollectionItem& item) {
  std::string label = "List item " + std::to_string(index);
  if (const TStreamProperty* name = item.FindProperty("Name")) {
    try {
      label += " ('" + Utf8FromCp1251(StringOf(*name)) + "')";  // for the terminal
    } catch (const EArchiveError&) {
    }
  }
  return label;
}

TStreamProperty Prop(const char* name, TStreamValue value) { return TStreamProperty{name, std::move(value)}; }

std::vector<uint8_t> GreyRamp() {
  std::vector<uint8_t> table;
  table.reserve(1024);
  for (int i = 0; i < 256; ++i) {
    table.push_back(static_cast<uint8_t>(i));
    table.push_back(static_cast<uint8_t>(i));
    table.push_back(static_cast<uint8_t>(i));
    table.push_back(0);
  }
  return table;
}

TStreamValue Collection(std::vector<TStreamCollectionItem> items) {
  TStreamValue v;
  v.Type = TValueType::vaCollection;
  v.Items = std::move(items);
  return v;
}

}  // namespace

std::vector<uint8_t> EncodePicture(const TSurface& bitmap) {
  std::vector<uint8_t> out = {7, 'T', 'B', 'i', 't', 'm', 'a', 'p'};
  if (bitmap.Width <= 0 || bitmap.Height <= 0) {
    PutLe32(out, 0);
    return out;
  }
  std::vector<uint8_t> bmp = EncodeBmp(bitmap);
  PutLe32(out, static_cast<uint32_t>(bmp.size()));
  out.insert(out.end(), bmp.begin(), bmp.end());
  return out;
}

namespace {

// A Picture property split into its graphic class and that graphic's data.
struct TGraphic {
  std::string ClassName;
  const uint8_t* Data = nullptr;
  size_t Size = 0;
  bool IsBitmap() const { return ClassName == "TBitmap"; }
};

TGraphic GraphicOf(std::span<const uint8_t> data) {
  if (data.empty()) Fail("Picture data is empty");
  size_t nameLength = data[0];
  if (1 + nameLength > data.size()) Fail("Picture data ends inside the graphic class name");
  TGraphic g;
  g.ClassName.assign(reinterpret_cast<const char*>(data.data() + 1), nameLength);
  g.Data = data.data() + 1 + nameLength;
  g.Size = data.size() - 1 - nameLength;
  if (g.IsBitmap()) {
    if (g.Size < 4) Fail("TBitmap data ends inside its length");
    uint32_t length = Le32(g.Data);
    if (length > g.Size - 4)
      Fail("TBitmap data of " + std::to_string(length) + " bytes runs past the end of the Picture (" +
           std::to_string(g.Size - 4) + " bytes left)");
    g.Data += 4;
    g.Size = length;
  } else if (!g.ClassName.empty() && g.ClassName != "TPngImage" && g.ClassName != "TPNGObject") {
    Fail("unknown graphic class " + g.ClassName);
  }
  return g;
}

// Whether a picture can wait in its archive until it is first wanted: a
// bitmap whose headers are sound. Once they are, decoding it later cannot
// fail, so a damaged archive is still refused whole at start-up. Anything
// else is decoded at once. Its pixel count when it can wait, else 0. Reads
// only the first PictureHeadBytes of Data.
uint64_t WaitingPixels(std::span<const uint8_t> data) {
  const TGraphic g = GraphicOf(data);
  if (!g.IsBitmap() || g.Size == 0) return 0;
  const TBmpLayout b = ReadBmpLayout(g.Data, g.Size);
  return static_cast<uint64_t>(b.Width) * b.Height;
}

}  // namespace

TSurface DecodePicture(std::span<const uint8_t> data) {
  const TGraphic g = GraphicOf(data);
  if (g.ClassName.empty() || g.Size == 0) return TSurface{};  // a picture with no graphic
  if (g.IsBitmap()) return DecodeBmp(g.Data, g.Size);
  return DecodePng(g.Data, g.Size);
}

std::vector<uint8_t> EncodeWave(const std::vector<uint8_t>& riff) {
  std::vector<uint8_t> out;
  out.reserve(4 + riff.size());
  PutLe32(out, static_cast<uint32_t>(riff.size()));
  out.insert(out.end(), riff.begin(), riff.end());
  return out;
}

namespace {

// The RIFF file inside a Wave property, its header checked; empty for none.
std::span<const uint8_t> RiffOf(std::span<const uint8_t> data) {
  if (data.size() < 4) Fail("Wave data ends inside its length");
  uint32_t length = Le32(data.data());
  if (length > data.size() - 4)
    Fail("wave of " + std::to_string(length) + " bytes runs past the end of the Wave data (" +
         std::to_string(data.size() - 4) + " bytes left)");
  if (length == 0) return {};
  const uint8_t* riff = data.data() + 4;
  if (length < 12 || std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0)
    Fail("Wave data is not a RIFF WAVE file");
  return {riff, length};
}

}  // namespace

std::vector<uint8_t> DecodeWave(std::span<const uint8_t> data) {
  const std::span<const uint8_t> riff = RiffOf(data);
  return std::vector<uint8_t>(riff.begin(), riff.end());
}

std::vector<uint8_t> WriteImageArchive(const std::vector<TPictureCollectionItem>& items) {
  return WriteImageArchive(items, GreyRamp());
}

std::vector<uint8_t> WriteImageArchive(const std::vector<TPictureCollectionItem>& items,
                                       const std::vector<uint8_t>& colorTable) {
  if (colorTable.size() != 1024)
    Fail("a colour table has 1024 bytes, not " + std::to_string(colorTable.size()));
  std::vector<TStreamCollectionItem> entries;
  entries.reserve(items.size());
  for (const TPictureCollectionItem& item : items) {
    TStreamCollectionItem e;
    e.Properties = {
        Prop("Name", TStreamValue::String(item.Name)),
        Prop("PatternHeight", TStreamValue::Integer(item.PatternHeight)),
        Prop("PatternWidth", TStreamValue::Integer(item.PatternWidth)),
        Prop("Picture", TStreamValue::Binary(EncodePicture(item.Picture))),
        Prop("SkipHeight", TStreamValue::Integer(item.SkipHeight)),
        Prop("SkipWidth", TStreamValue::Integer(item.SkipWidth)),
        Prop("SystemMemory", TStreamValue::Boolean(item.SystemMemory)),
        Prop("Transparent", TStreamValue::Boolean(item.Transparent)),
        Prop("TransparentColor", TStreamValue::Integer(item.TransparentColor)),
    };
    entries.push_back(std::move(e));
  }
  TStreamObject root;
  root.ClassName = "TDXImageList";
  root.Name = "Images";
  root.Properties.push_back(Prop("List", Collection(std::move(entries))));
  root.Properties.push_back(Prop("ColorTable", TStreamValue::Binary(colorTable)));
  return WriteComponentStream(root);
}

std::vector<uint8_t> WriteWaveArchive(const std::vector<TWaveCollectionItem>& items) {
  std::vector<TStreamCollectionItem> entries;
  entries.reserve(items.size());
  for (const TWaveCollectionItem& item : items) {
    TStreamCollectionItem e;
    e.Properties = {
        Prop("Name", TStreamValue::String(item.Name)),
        Prop("Looped", TStreamValue::Boolean(item.Looped)),
        Prop("MaxPlayingCount", TStreamValue::Integer(item.MaxPlayingCount)),
        Prop("Wave", TStreamValue::Binary(EncodeWave(item.Wave))),
    };
    entries.push_back(std::move(e));
  }
  TStreamObject root;
  root.ClassName = "TDXWaveList";
  root.Name = "Sounds";
  root.Properties.push_back(Prop("List", Collection(std::move(entries))));
  return WriteComponentStream(root);
}

namespace {

// The archive file a load keeps open for its waiting pictures, and the
// address the parse gives its binaries' places from (see
// ReadComponentStreamBorrowing): a binary at Base + offset lies at that
// offset in the file, and is read from there.
struct TWaitingIn {
  std::shared_ptr<const TArchiveFile> File;
  const uint8_t* Base = nullptr;

  uint64_t OffsetOf(std::span<const uint8_t> data) const { return static_cast<uint64_t>(data.data() - Base); }
  // The first N bytes of the binary Data, read from the file.
  std::vector<uint8_t> Read(std::span<const uint8_t> data, size_t n = SIZE_MAX) const {
    std::vector<uint8_t> bytes;
    std::string why;
    if (!File->Read(OffsetOf(data), std::min(n, data.size()), bytes, why)) Fail(why);
    return bytes;
  }
};

// Each picture's stored bytes are dropped as soon as they are decoded, so
// the start-up never holds a large archive twice over. With Waiting, sound
// bitmaps are not decoded but noted where they lie in the file.
std::vector<TPictureCollectionItem> ImagesOf(TStreamObject& root, std::vector<uint8_t>* colorTable,
                                             const TWaitingIn* waiting = nullptr) {
  TStreamValue& list = const_cast<TStreamValue&>(ListOf(root));  // root itself is ours to change
  std::vector<TPictureCollectionItem> items(list.Items.size());
  uint64_t pixels = 0;  // of every picture so far, decoded or waiting
  for (size_t i = 0; i < list.Items.size(); ++i) {
    TPictureCollectionItem& item = items[i];
    try {
      for (TStreamProperty& p : list.Items[i].Properties) {
        if (SameName(p.Name, "Name"))
          item.Name = StringOf(p);
        else if (SameName(p.Name, "PatternWidth"))
          item.PatternWidth = IntOf(p);
        else if (SameName(p.Name, "PatternHeight"))
          item.PatternHeight = IntOf(p);
        else if (SameName(p.Name, "SkipWidth"))
          item.SkipWidth = IntOf(p);
        else if (SameName(p.Name, "SkipHeight"))
          item.SkipHeight = IntOf(p);
        else if (SameName(p.Name, "SystemMemory"))
          item.SystemMemory = BoolOf(p);
        else if (SameName(p.Name, "Transparent"))
          item.Transparent = BoolOf(p);
        else if (SameName(p.Name, "TransparentColor"))
          item.TransparentColor = ColorOf(p);
        else if (SameName(p.Name, "Picture")) {
          const std::span<const uint8_t> bytes = BinaryOf(p);
          item.Picture = TSurface{};
          item.Source = TWaitingBytes{};
          uint64_t waitingPixels = 0;
          if (waiting) {
            // Only the headers are read, from the head alone (given with
            // the whole picture's size, which they check).
            const std::vector<uint8_t> head = waiting->Read(bytes, PictureHeadBytes);
            waitingPixels = WaitingPixels(std::span<const uint8_t>(head.data(), bytes.size()));
          }
          if (waitingPixels) {
            item.Source = TWaitingBytes{waiting->File, waiting->OffsetOf(bytes), bytes.size()};
            pixels += waitingPixels;
          } else if (waiting) {
            item.Picture = DecodePicture(waiting->Read(bytes));
            pixels += item.Picture.Pixels.size();
          } else {
            item.Picture = DecodePicture(bytes);
            pixels += item.Picture.Pixels.size();
          }
          std::vector<uint8_t>().swap(p.Value.Bytes);  // nothing to free when borrowed
          if (pixels > MaxArchivePixels)
            Fail("the pictures so far hold " + std::to_string(pixels) + " pixels, far more than the game's (at most " +
                 std::to_string(MaxArchivePixels) + " in an archive)");
        }
      }
    } catch (const EArchiveError& e) {
      Fail(ItemLabel(i, list.Items[i]) + ": " + e.what());
    }
  }
  if (colorTable) {
    colorTable->clear();
    if (const TStreamProperty* table = root.FindProperty("ColorTable")) {
      const std::span<const uint8_t> bytes = BinaryOf(*table);
      if (waiting)
        *colorTable = waiting->Read(bytes);
      else
        colorTable->assign(bytes.begin(), bytes.end());
    }
  }
  return items;
}

}  // namespace

std::vector<TPictureCollectionItem> ReadImageArchive(const std::vector<uint8_t>& bytes,
                                                     std::vector<uint8_t>* colorTable) {
  TStreamObject root = ReadComponentStream(bytes);
  return ImagesOf(root, colorTable);
}

std::vector<TPictureCollectionItem> ReadImageArchive(std::vector<uint8_t>&& bytes, std::vector<uint8_t>* colorTable) {
  TStreamObject root = ReadComponentStream(bytes);
  std::vector<uint8_t>().swap(bytes);  // the file's bytes are all in the tree now
  return ImagesOf(root, colorTable);
}

namespace {

// Parses the archive at Path with Decode(root, waiting), reading only what
// the parse needs: the structure a few kilobytes at a time, each picture's
// headers, and what is decoded at once; a picture left waiting is never read
// at the load. Reading the whole file, and copying each binary out of it,
// cost the start-up three times the archive's size in fresh pages. The file
// is read rather than mapped: a mapped file cut short while it is parsed
// kills the game (SIGBUS), a read one only comes short, which is an error
// that names it. The binaries' places are given as addresses in a range
// reserved the size of the file and never touched. Waiting keeps the file
// open for what the decode leaves in it. The file is opened through the same
// checks as every other file the game reads, so a pipe cannot hang the
// start-up and an oversized file is never read. Errors name the file, a
// lack of memory too.
template <class F>
auto ParseArchiveFile(const std::string& path, F decode) {
  try {
    uint64_t size = 0;
    std::string why;
    const int fd = OpenSaneFile(path, MaxArchiveBytes, &size, &why);
    if (fd < 0) Fail(why);
    const auto file = std::make_shared<const TArchiveFile>(fd, path);
    if (size == 0) Fail("the file is empty");
    if (ArchiveOpenedHook) ArchiveOpenedHook(path);
    void* places = mmap(nullptr, static_cast<size_t>(size), PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE,
                        -1, 0);
    if (places == MAP_FAILED) throw std::bad_alloc();
    struct TUnmap {
      void* Map;
      size_t Size;
      ~TUnmap() { munmap(Map, Size); }
    } unmap{places, static_cast<size_t>(size)};
    const TWaitingIn waiting{file, static_cast<const uint8_t*>(places)};
    const TStreamFetch fetch = [&](size_t offset, size_t n, uint8_t* into) {
      std::string problem;
      if (!file->Read(offset, n, into, problem)) Fail(problem);
    };
    TStreamObject root = ReadComponentStreamBorrowing(waiting.Base, unmap.Size, &fetch);
    return decode(root, &waiting);
  } catch (const EArchiveError& e) {
    throw EArchiveError(path + ": " + e.what());
  } catch (const std::bad_alloc&) {
    throw EArchiveError(path + ": not enough memory to load it");
  }
}

}  // namespace

std::vector<TPictureCollectionItem> LoadImageArchive(const std::string& path, std::vector<uint8_t>* colorTable) {
  return ParseArchiveFile(
      path, [&](TStreamObject& root, const TWaitingIn* waiting) { return ImagesOf(root, colorTable, waiting); });
}

namespace {

// The archives' own kind of bitmap, 32 bits a pixel uncompressed, is read
// from the file straight into the picture's rows: its bytes are our pixels
// but for the unused fourth byte and the row order. That touches no memory
// but the picture's own. False, with nothing changed, for any other kind.
bool ReadBitmapInPlace(const TArchiveFile& file, const TWaitingBytes& source, TSurface& out, std::string& why) {
  if constexpr (std::endian::native != std::endian::little) return false;
  // The class name (at most 255 bytes), the bitmap's length and every BMP
  // header field ReadBmpLayout reads lie in the first 330 bytes. Neither it
  // nor GraphicOf reads past the bytes they are told of, nor anywhere a
  // size check has not first vouched for, so they are given the head alone
  // with the whole picture's size, and check that size.
  std::vector<uint8_t> head;
  if (!file.Read(source.Offset, std::min<uint64_t>(source.Size, PictureHeadBytes), head, why)) return false;
  TBmpLayout b;
  uint64_t bitmapAt = 0;
  try {
    const TGraphic g = GraphicOf(std::span<const uint8_t>(head.data(), static_cast<size_t>(source.Size)));
    if (!g.IsBitmap() || g.Size == 0) return false;
    b = ReadBmpLayout(g.Data, g.Size);
    bitmapAt = source.Offset + static_cast<uint64_t>(g.Data - head.data());
  } catch (const EArchiveError&) {
    return false;  // decoding the whole picture says what is wrong
  }
  if (b.Bpp != 32 || b.Compression != 0) return false;
  TSurface s;
  s.Resize(b.Width, static_cast<int>(b.Height));
  // 32-bit rows need no padding, so the rows lie back to back as ours do.
  if (!file.Read(bitmapAt + b.OffBits, s.Pixels.size() * 4, s.Pixels.data(), why)) return false;
  const int h = s.Height;
  for (int y = 0; y < (h + 1) / 2; ++y) {
    uint32_t* top = s.Row(y);
    uint32_t* bottom = s.Row(h - 1 - y);
    for (int x = 0; x < s.Width; ++x) {
      const uint32_t t = top[x], u = bottom[x];
      if (b.TopDown) {
        top[x] = t & 0xFFFFFF;
        bottom[x] = u & 0xFFFFFF;
      } else {
        top[x] = u & 0xFFFFFF;
        bottom[x] = t & 0xFFFFFF;
      }
    }
  }
  out = std::move(s);
  return true;
}

}  // namespace

void (*ArchiveOpenedHook)(const std::string& path) = nullptr;

void DecodeWaitingPicture(TPictureCollectionItem& item) {
  const TWaitingBytes source = std::move(item.Source);
  item.Source = TWaitingBytes{};
  item.Picture = TSurface{};
  std::string why;
  try {
    if (ReadBitmapInPlace(*source.File, source, item.Picture, why)) return;
    std::vector<uint8_t> bytes;
    if (why.empty() && source.File->Read(source.Offset, source.Size, bytes, why)) {
      item.Picture = DecodePicture(bytes);
      return;
    }
  } catch (const EArchiveError& e) {
    why = e.what();
  } catch (const std::bad_alloc&) {
    why = "not enough memory";
  }
  item.Picture = TSurface{};
  std::fprintf(stderr, "%s: picture '%s' left empty: %s\n", source.File->Path().c_str(),
               Utf8FromCp1251(item.Name).c_str(), why.c_str());
}

namespace {

// With Waiting, each sound's header is checked and its bytes noted where
// they lie in the file.
std::vector<TWaveCollectionItem> WavesOf(const TStreamObject& root, const TWaitingIn* waiting = nullptr) {
  const TStreamValue& list = ListOf(root);
  std::vector<TWaveCollectionItem> items(list.Items.size());
  for (size_t i = 0; i < list.Items.size(); ++i) {
    TWaveCollectionItem& item = items[i];
    try {
      for (const TStreamProperty& p : list.Items[i].Properties) {
        if (SameName(p.Name, "Name"))
          item.Name = StringOf(p);
        else if (SameName(p.Name, "Looped"))
          item.Looped = BoolOf(p);
        else if (SameName(p.Name, "MaxPlayingCount"))
          item.MaxPlayingCount = IntOf(p);
        else if (SameName(p.Name, "Wave")) {
          item.Wave.clear();
          item.Source = TWaitingBytes{};
          if (!waiting) {
            item.Wave = DecodeWave(BinaryOf(p));
            continue;
          }
          // The length and the RIFF header, given with the whole size.
          const std::span<const uint8_t> bytes = BinaryOf(p);
          const std::vector<uint8_t> head = waiting->Read(bytes, 16);
          const std::span<const uint8_t> riff = RiffOf(std::span<const uint8_t>(head.data(), bytes.size()));
          if (!riff.empty())
            item.Source = TWaitingBytes{waiting->File,
                                        waiting->OffsetOf(bytes) + static_cast<uint64_t>(riff.data() - head.data()),
                                        riff.size()};
        }
      }
    } catch (const EArchiveError& e) {
      Fail(ItemLabel(i, list.Items[i]) + ": " + e.what());
    }
  }
  return items;
}

}  // namespace

std::vector<TWaveCollectionItem> ReadWaveArchive(const std::vector<uint8_t>& bytes) {
  return WavesOf(ReadComponentStream(bytes));
}

std::vector<uint8_t> ReadArchiveFile(const std::string& path) {
  std::vector<uint8_t> bytes;
  std::string why;
  if (!ReadSaneFile(path, MaxArchiveBytes, bytes, &why)) Fail(path + ": " + why);
  if (bytes.empty()) Fail(path + ": the file is empty");
  return bytes;
}

std::vector<TWaveCollectionItem> LoadWaveArchive(const std::string& path) {
  return ParseArchiveFile(path, [](TStreamObject& root, const TWaitingIn* waiting) { return WavesOf(root, waiting); });
}

void ReadWaitingWave(TWaveCollectionItem& item) {
  const TWaitingBytes source = std::move(item.Source);
  item.Source = TWaitingBytes{};
  std::string why;
  try {
    if (source.File->Read(source.Offset, source.Size, item.Wave, why)) return;
  } catch (const std::bad_alloc&) {
    why = "not enough memory";
  }
  item.Wave.clear();
  std::fprintf(stderr, "%s: sound '%s' left silent: %s\n", source.File->Path().c_str(),
               Utf8FromCp1251(item.Name).c_str(), why.c_str());
}

#include "gfx/png_write.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace {

// The surface's 0x00RRGGBB pixels as the RGB bytes libpng takes.
std::vector<uint8_t> RgbBytes(const TSurface& s) {
  std::vector<uint8_t> rgb(static_cast<size_t>(s.Width) * s.Height * 3);
  size_t at = 0;
  for (uint32_t p : s.Pixels) {
    rgb[at++] = static_cast<uint8_t>(p >> 16);
    rgb[at++] = static_cast<uint8_t>(p >> 8);
    rgb[at++] = static_cast<uint8_t>(p);
  }
  return rgb;
}

png_image ImageOf(const TSurface& s) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(s.Width);
  image.height = static_cast<png_uint_32>(s.Height);
  image.format = PNG_FORMAT_RGB;
  return image;
}

}  // namespace

std::vector<uint8_t> EncodePng(const TSurface& s) {
  if (s.Width <= 0 || s.Height <= 0) return {};
  const std::vector<uint8_t> rgb = RgbBytes(s);
  png_image image = ImageOf(s);
  png_alloc_size_t size = 0;
  // The first call only measures; the second writes.
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr)) return {};
  std::vector<uint8_t> png(size);
  if (!png_image_write_to_memory(&image, png.data(), &size, 0, rgb.data(), 0, nullptr)) return {};
  png.resize(size);
  return png;
}

bool WritePng(const std::string& path, const TSurface& s) {
  const std::vector<uint8_t> png = EncodePng(s);
  if (png.empty()) return false;
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!file) return false;
  if (std::fwrite(png.data(), 1, png.size(), file.get()) != png.size()) return false;
  return std::fclose(file.release()) == 0;
}

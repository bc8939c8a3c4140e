// The window's icon: the same picture the desktop entry shows, drawn by the
// asset generator and kept beside the archives as Data/Icon.png.
#include <png.h>

#include <vector>

#include "platform/sdl_platform.h"

void SetWindowIconFrom(SDL_Window* window, const std::string& pngFile) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, pngFile.c_str())) return;
  image.format = PNG_FORMAT_RGBA;
  // An icon is small; anything larger than the largest desktop icon is not ours.
  if (image.width == 0 || image.height == 0 || image.width > 512 || image.height > 512) {
    png_image_free(&image);
    return;
  }
  std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return;
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), static_cast<int>(image.width),
                                                         static_cast<int>(image.height), 32,
                                                         static_cast<int>(PNG_IMAGE_ROW_STRIDE(image)),
                                                         SDL_PIXELFORMAT_RGBA32);
  if (!icon) return;
  SDL_SetWindowIcon(window, icon);
  SDL_FreeSurface(icon);
}

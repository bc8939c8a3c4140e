#include "gfx/png_write.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v >> 24));
  out.push_back(static_cast<uint8_t>(v >> 16));
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}

// Length, type, data and the CRC over type and data.
void PutChunk(std::vector<uint8_t>& out, const char type[5], const uint8_t* data, size_t size) {
  Put32(out, static_cast<uint32_t>(size));
  const size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  if (size) out.insert(out.end(), data, data + size);
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, out.data() + typeAt, static_cast<uInt>(4 + size));
  Put32(out, static_cast<uint32_t>(crc));
}

int Paeth(int a, int b, int c) {
  const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

}  // namespace

std::vector<uint8_t> EncodePng(const TSurface& s) {
  const int w = s.Width, h = s.Height;
  const size_t rowBytes = static_cast<size_t>(w) * 3;

  // Each row goes out with whichever of the five filters leaves the smallest
  // sum of magnitudes, the usual guess at what deflates best.
  std::vector<uint8_t> raw((rowBytes + 1) * static_cast<size_t>(h));
  std::vector<uint8_t> prev(rowBytes, 0), cur(rowBytes), trial[5];
  for (auto& t : trial) t.resize(rowBytes);
  for (int y = 0; y < h; ++y) {
    const uint32_t* px = s.Row(y);
    for (int x = 0; x < w; ++x) {
      cur[3 * x] = static_cast<uint8_t>(px[x] >> 16);
      cur[3 * x + 1] = static_cast<uint8_t>(px[x] >> 8);
      cur[3 * x + 2] = static_cast<uint8_t>(px[x]);
    }
    int best = 0;
    long bestCost = -1;
    for (int f = 0; f < 5; ++f) {
      long cost = 0;
      for (size_t i = 0; i < rowBytes; ++i) {
        const int a = i >= 3 ? cur[i - 3] : 0, b = prev[i], c = i >= 3 ? prev[i - 3] : 0;
        int predicted = 0;
        switch (f) {
          case 1: predicted = a; break;
          case 2: predicted = b; break;
          case 3: predicted = (a + b) / 2; break;
          case 4: predicted = Paeth(a, b, c); break;
          default: break;
        }
        const uint8_t v = static_cast<uint8_t>(cur[i] - predicted);
        trial[f][i] = v;
        cost += v < 128 ? v : 256 - v;
      }
      if (bestCost < 0 || cost < bestCost) bestCost = cost, best = f;
    }
    uint8_t* out = raw.data() + static_cast<size_t>(y) * (rowBytes + 1);
    out[0] = static_cast<uint8_t>(best);
    std::copy(trial[best].begin(), trial[best].end(), out + 1);
    std::swap(prev, cur);
  }

  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> packed(packedSize);
  compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 6);

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  Put32(header, static_cast<uint32_t>(w));
  Put32(header, static_cast<uint32_t>(h));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, no interlace
  PutChunk(png, "IHDR", header.data(), header.size());
  PutChunk(png, "IDAT", packed.data(), packedSize);
  PutChunk(png, "IEND", nullptr, 0);
  return png;
}

bool WritePng(const std::string& path, const TSurface& s) {
  const std::vector<uint8_t> png = EncodePng(s);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
  return std::fclose(f) == 0 && ok;
}

#include "site_simulator/poster_pictures.h"

#include <jpeglib.h>
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace quenbo::simulator {
namespace {

constexpr int kWidth = 160, kHeight = 220;

struct Rgb {
  double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// A colour of the film's own hue.
Rgb hue(int film, double lightness) {
  double h = std::fmod(film * 0.61803398875, 1.0) * 6.0;
  double x = 1.0 - std::fabs(std::fmod(h, 2.0) - 1.0);
  Rgb base = h < 1   ? Rgb{1, x, 0}
             : h < 2 ? Rgb{x, 1, 0}
             : h < 3 ? Rgb{0, 1, x}
             : h < 4 ? Rgb{0, x, 1}
             : h < 5 ? Rgb{x, 0, 1}
                     : Rgb{1, 0, x};
  return mix({0, 0, 0}, base, lightness);
}

// Rows of RGB bytes, top first.
std::vector<std::uint8_t> drawPoster(int film) {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth * kHeight * 3));
  const Rgb top = hue(film, 0.95), bottom = hue(film + 3, 0.35), sun = {1.0, 0.93, 0.7};
  const double sunX = 40 + (film * 37) % 80, sunY = 70 + (film * 13) % 40, sunR = 22;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      Rgb c = mix(top, bottom, static_cast<double>(y) / kHeight);
      double d = std::hypot(x - sunX, y - sunY);
      if (d < sunR)
        c = sun;
      else if (d < sunR + 8)
        c = mix(sun, c, (d - sunR) / 8);
      double hill = 160 + 18 * std::sin(x / 23.0 + film) + 8 * std::sin(x / 7.0);
      if (y > hill) c = mix(hue(film + 1, 0.25), {0, 0, 0}, (y - hill) / 120.0);
      std::uint8_t* p = &pixels[static_cast<std::size_t>((y * kWidth + x) * 3)];
      p[0] = static_cast<std::uint8_t>(std::lround(c.r * 255));
      p[1] = static_cast<std::uint8_t>(std::lround(c.g * 255));
      p[2] = static_cast<std::uint8_t>(std::lround(c.b * 255));
    }
  }
  return pixels;
}

void putBigEndian(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void putChunk(std::string& out, const char* type, const std::string& data) {
  putBigEndian(out, static_cast<std::uint32_t>(data.size()));
  std::string body = std::string(type, 4) + data;
  out += body;
  putBigEndian(out, static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                                     static_cast<uInt>(body.size()))));
}

}  // namespace

std::string posterPng(int film) {
  std::vector<std::uint8_t> pixels = drawPoster(film);
  // Each row starts with its filter type, 0 (none).
  std::vector<std::uint8_t> rows;
  for (int y = 0; y < kHeight; ++y) {
    rows.push_back(0);
    auto start = pixels.begin() + y * kWidth * 3;
    rows.insert(rows.end(), start, start + kWidth * 3);
  }
  uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
  std::string packed(packedSize, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, rows.data(),
            static_cast<uLong>(rows.size()), 9);
  packed.resize(packedSize);

  std::string header;
  putBigEndian(header, kWidth);
  putBigEndian(header, kHeight);
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no interlace
  std::string png = "\x89PNG\r\n\x1A\n";
  putChunk(png, "IHDR", header);
  putChunk(png, "IDAT", packed);
  putChunk(png, "IEND", {});
  return png;
}

std::string posterJpeg(int film) {
  std::vector<std::uint8_t> pixels = drawPoster(film);
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = kWidth;
  info.image_height = kHeight;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 85, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = &pixels[static_cast<std::size_t>(info.next_scanline * kWidth * 3)];
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  std::string jpeg(reinterpret_cast<const char*>(buffer), size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return jpeg;
}

}  // namespace quenbo::simulator

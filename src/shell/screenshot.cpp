#include "shell/screenshot.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace {

uint32_t crc32(const std::string& bytes, size_t from) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = from; i < bytes.size(); ++i) c = table[(c ^ static_cast<uint8_t>(bytes[i])) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

uint32_t adler32(const std::string& bytes) {
  uint32_t a = 1, b = 0;
  for (const char c : bytes) {
    a = (a + static_cast<uint8_t>(c)) % 65521;
    b = (b + a) % 65521;
  }
  return b << 16 | a;
}

void putBigEndian(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(value >> shift & 0xFF);
}

void putChunk(std::string& out, const char* type, const std::string& data) {
  putBigEndian(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out += type;
  out += data;
  putBigEndian(out, crc32(out, start));
}

// The filtered rows as a zlib stream of stored (uncompressed) deflate blocks:
// simple, and a screenshot is written once.
std::string zlibStored(const std::string& raw) {
  std::string out = "\x78\x01";
  constexpr size_t largestBlock = 65535;
  size_t at = 0;
  do {
    const size_t length = std::min(largestBlock, raw.size() - at);
    out += static_cast<char>(at + length == raw.size() ? 1 : 0);  // the last block is marked
    for (const uint32_t field : {static_cast<uint32_t>(length), static_cast<uint32_t>(~length & 0xFFFF)}) {
      out += static_cast<char>(field & 0xFF);
      out += static_cast<char>(field >> 8 & 0xFF);
    }
    out.append(raw, at, length);
    at += length;
  } while (at < raw.size());
  putBigEndian(out, adler32(raw));
  return out;
}

}  // namespace

std::string encodePng(const PixelImage& image) {
  std::string raw;
  raw.reserve(static_cast<size_t>(image.height) * (1 + 3 * static_cast<size_t>(image.width)));
  for (int y = 0; y < image.height; ++y) {
    raw += '\0';  // filter: none
    const uint8_t* row = image.pixels + static_cast<std::ptrdiff_t>(y) * image.strideBytes;
    for (int x = 0; x < image.width; ++x) {
      uint32_t pixel;
      std::memcpy(&pixel, row + 4 * x, sizeof pixel);
      for (int shift = 16; shift >= 0; shift -= 8) raw += static_cast<char>(pixel >> shift & 0xFF);
    }
  }
  std::string header;
  putBigEndian(header, static_cast<uint32_t>(image.width));
  putBigEndian(header, static_cast<uint32_t>(image.height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter set, no interlace
  std::string png = "\x89PNG\r\n\x1A\n";
  putChunk(png, "IHDR", header);
  putChunk(png, "IDAT", zlibStored(raw));
  putChunk(png, "IEND", {});
  return png;
}

bool saveScreenshot(const PixelImage& image, const std::string& path, std::string& error) {
  const std::string png = encodePng(image);
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  bool saved = file && std::fwrite(png.data(), 1, png.size(), file) == png.size();
  saved = saved && std::fflush(file) == 0;
  if (file && std::fclose(file) != 0) saved = false;
  if (!saved) {
    error = "cannot write the screenshot " + path + (errno ? std::string(": ") + std::strerror(errno) : "");
  }
  return saved;
}

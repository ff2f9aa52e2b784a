#include "shell/screenshot.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "core/printable.h"

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

// Deflate's bit stream: values least significant bit first, Huffman codes
// most significant bit first.
class BitWriter {
 public:
  explicit BitWriter(std::string& out) : out_(out) {}
  void bits(uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bit(value >> i & 1);
  }
  void code(uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i) bit(code >> i & 1);
  }
  void finish() {
    if (used_) out_ += static_cast<char>(byte_);
  }

 private:
  void bit(uint32_t b) {
    byte_ |= b << used_;
    if (++used_ == 8) {
      out_ += static_cast<char>(byte_);
      byte_ = 0, used_ = 0;
    }
  }
  std::string& out_;
  uint32_t byte_ = 0;
  int used_ = 0;
};

// A symbol of the fixed literal/length code.
void putSymbol(BitWriter& w, int symbol) {
  if (symbol < 144) return w.code(0x30 + symbol, 8);
  if (symbol < 256) return w.code(0x190 + symbol - 144, 9);
  if (symbol < 280) return w.code(symbol - 256, 7);
  w.code(0xC0 + symbol - 280, 8);
}

constexpr int lengthBase[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                              31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr int lengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr int distanceBase[] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};

void putMatch(BitWriter& w, int length, int distance) {
  int l = 28;
  while (lengthBase[l] > length) --l;
  putSymbol(w, 257 + l);
  w.bits(length - lengthBase[l], lengthExtra[l]);
  int d = 29;
  while (distanceBase[d] > distance) --d;
  w.code(d, 5);
  w.bits(distance - distanceBase[d], d < 4 ? 0 : d / 2 - 1);
}

// The filtered rows as a zlib stream of one deflate block with the fixed
// codes. A frame is mostly runs of one colour and rows like the one above, so
// matching the pixel before and the pixel above is nearly all there is to win.
std::string zlibCompress(const std::string& raw, size_t rowBytes) {
  constexpr size_t longest = 258, farthest = 32768;
  std::string out = "\x78\x01";
  BitWriter w(out);
  w.bits(1, 1);  // the last block
  w.bits(1, 2);  // fixed codes
  for (size_t at = 0; at < raw.size();) {
    size_t bestLength = 0, bestDistance = 0;
    for (const size_t distance : {size_t{3}, rowBytes}) {
      if (distance > at || distance > farthest) continue;
      size_t length = 0;
      while (length < longest && at + length < raw.size() && raw[at + length] == raw[at + length - distance]) ++length;
      if (length > bestLength) bestLength = length, bestDistance = distance;
    }
    if (bestLength >= 3) {
      putMatch(w, static_cast<int>(bestLength), static_cast<int>(bestDistance));
      at += bestLength;
    } else {
      putSymbol(w, static_cast<uint8_t>(raw[at++]));
    }
  }
  putSymbol(w, 256);  // end of block
  w.finish();
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
  putChunk(png, "IDAT", zlibCompress(raw, 1 + 3 * static_cast<size_t>(image.width)));
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
    error =
        "cannot write the screenshot " + printablePath(path) + (errno ? std::string(": ") + std::strerror(errno) : "");
  }
  return saved;
}

#include "shell/screenshot.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO  // the file is written here, where its errors are told
#define STB_IMAGE_WRITE_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

#include "core/printable.h"

namespace {

void append(void* context, void* data, int size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<size_t>(size));
}

}  // namespace

std::string encodePng(const PixelImage& image) {
  std::vector<unsigned char> rgb;
  rgb.reserve(static_cast<size_t>(image.width) * image.height * 3);
  for (int32_t y = 0; y < image.height; ++y) {
    for (int32_t x = 0; x < image.width; ++x) {
      const uint32_t pixel = image.at(x, y);
      for (int shift = 16; shift >= 0; shift -= 8) rgb.push_back(static_cast<unsigned char>(pixel >> shift));
    }
  }
  std::string png;
  stbi_write_png_to_func(append, &png, image.width, image.height, 3, rgb.data(), image.width * 3);
  return png;
}

bool saveScreenshot(const PixelImage& image, const std::string& path, std::string& error) {
  const std::string png = encodePng(image);
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  bool saved = !png.empty() && file && std::fwrite(png.data(), 1, png.size(), file) == png.size();
  saved = saved && std::fflush(file) == 0;
  if (file && std::fclose(file) != 0) saved = false;
  if (!saved) {
    error =
        "cannot write the screenshot " + printablePath(path) + (errno ? std::string(": ") + std::strerror(errno) : "");
  }
  return saved;
}

// Screenshots as PNG files, from the client image of any platform's window.
#pragma once
#include <cstdint>
#include <string>

// A 32-bit image: each pixel one 0xAARRGGBB word, as Qt's RGB32 images and
// 32-bit Windows bitmaps hold them; rows strideBytes apart, top row first.
struct PixelImage {
  const uint8_t* pixels;
  int width, height, strideBytes;
};

// The image as an 8-bit RGB PNG file's bytes; alpha is dropped.
std::string encodePng(const PixelImage& image);
// Writes the PNG to path. False, with the reason in error, when the file
// cannot be made or not all of it reaches the disk.
bool saveScreenshot(const PixelImage& image, const std::string& path, std::string& error);

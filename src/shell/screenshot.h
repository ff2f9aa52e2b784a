// Screenshots as PNG files, from the client image of any platform's window.
#pragma once
#include <string>

#include "render/surface.h"

// The image as an 8-bit RGB PNG file's bytes.
std::string encodePng(const PixelImage& image);
// Writes the PNG to path. False, with the reason in error, when the file
// cannot be made or not all of it reaches the disk.
bool saveScreenshot(const PixelImage& image, const std::string& path, std::string& error);

#pragma once
// PNG output of an image frame: 8-bit RGBA for layouts 2 and 4, RGB for 3
// and 5, the image's top row (the buffer's last row) first. Written without
// row filters at a low compression level, which keeps writing fast.

#include <string>
#include <vector>

#include "render/image/image.h"

// Encodes one frame into PNG bytes; false for an empty image or frame out of
// range.
bool VImageEncodePNG(const VImage& image, std::vector<uint8_t>* out, int frame = 0);
// Writes one frame to a PNG file through a temporary name, so that a failure
// leaves no partial file under fileName.
bool VImageWritePNG(const VImage& image, const std::string& fileName, int frame = 0);

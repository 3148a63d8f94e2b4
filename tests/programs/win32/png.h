// A window's picture as a PNG file: 8-bit RGB, the image data in stored (uncompressed)
// deflate blocks, so no compressor is needed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pngfile {

// rgb holds width * height pixels, three bytes each, row after row from the top.
std::vector<uint8_t> Encode(int width, int height, const std::vector<uint8_t>& rgb);
bool Save(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

}  // namespace pngfile

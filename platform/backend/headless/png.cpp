// PNG output of presented pictures, for a person to look at.
#include <vector>

#include "platform/backend/headless/headless.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace bp::headless {

bool CopyFrame(HWND h, int* w, int* hgt, std::vector<std::uint32_t>* px, std::vector<std::uint8_t>* mask);

bool SavePng(HWND topLevel, const std::string& path) {
  int w = 0, h = 0;
  std::vector<std::uint32_t> px;
  std::vector<std::uint8_t> mask;
  if (!CopyFrame(topLevel, &w, &h, &px, &mask) || w <= 0 || h <= 0) return false;
  std::vector<unsigned char> rgba(static_cast<std::size_t>(w) * h * 4);
  for (std::size_t i = 0; i < px.size(); ++i) {
    rgba[i * 4 + 0] = static_cast<unsigned char>(px[i] >> 16);
    rgba[i * 4 + 1] = static_cast<unsigned char>(px[i] >> 8);
    rgba[i * 4 + 2] = static_cast<unsigned char>(px[i]);
    rgba[i * 4 + 3] = mask[i] ? 255 : 0;
  }
  return stbi_write_png(path.c_str(), w, h, 4, rgba.data(), w * 4) != 0;
}

}  // namespace bp::headless

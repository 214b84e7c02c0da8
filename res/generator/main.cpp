// Draws the program's skin bitmaps and icon into a resource folder:
//   bugpost_res_generator <res folder>
// Run by hand (the regenerate_resources target); its outputs are committed.
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/win32/gdi/images.h"
#include "res/generator/icon.h"
#include "res/generator/skin.h"

namespace {
bool Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return static_cast<bool>(out);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <res folder>\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  using namespace bp;
  const gdi::Surface window = resgen::Window129();
  for (std::uint32_t p : window.pixels)
    if (p == 0xFF00FFu) {
      std::fprintf(stderr, "bitmap 129 must not hold the transparent colour\n");
      return 1;
    }
  bool ok = Write(dir + "/bitmap129.bmp", gdi::EncodeBmp24(window));
  ok &= Write(dir + "/bitmap130.bmp", gdi::EncodeBmp24(resgen::CloseButton130(window)));
  ok &= Write(dir + "/bitmap131.bmp", gdi::EncodeBmp24(resgen::SendButton131()));
  ok &= Write(dir + "/bitmap132.bmp", gdi::EncodeBmp24(resgen::Track132()));
  ok &= Write(dir + "/bitmap133.bmp", gdi::EncodeBmp24(resgen::Fill133()));
  ok &= Write(dir + "/icon128.ico", gdi::EncodeIco(resgen::AppIcon128()));
  return ok ? 0 : 1;
}

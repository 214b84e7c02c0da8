// Inside the GDI: BMP and ICO files read into pixels and written from them.
// The readers take untrusted bytes: every size and offset is checked, nothing is read out of range.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "platform/win32/gdi/objects.h"

namespace bp::gdi {
// A BMP file, or a bare DIB as stored in resource sections; 24- or 32-bit BI_RGB (or 32-bit
// bitfields in the usual order), bottom-up or top-down. False on anything else or damage.
bool DecodeBmp(std::span<const std::uint8_t> data, Surface* out);
// The 24- and 32-bit DIB images of an .ico file (PNG-compressed images are skipped). False when
// no image could be read.
bool DecodeIco(std::span<const std::uint8_t> data, std::vector<IconImage>* out);

std::vector<std::uint8_t> EncodeBmp24(const Surface& s);
// 32-bit images with alpha and an AND mask derived from it (alpha 0 = transparent).
std::vector<std::uint8_t> EncodeIco(const std::vector<IconImage>& images);
}  // namespace bp::gdi

#include "platform/win32/gdi/images.h"

#include <algorithm>

namespace bp::gdi {
namespace {

constexpr int kMaxSide = 16384;

struct Reader {
  std::span<const std::uint8_t> d;
  bool Has(std::size_t off, std::size_t n) const { return off <= d.size() && n <= d.size() - off; }
  std::uint32_t U16(std::size_t off) const { return d[off] | (d[off + 1] << 8); }
  std::uint32_t U32(std::size_t off) const {
    return static_cast<std::uint32_t>(d[off]) | (static_cast<std::uint32_t>(d[off + 1]) << 8) |
           (static_cast<std::uint32_t>(d[off + 2]) << 16) | (static_cast<std::uint32_t>(d[off + 3]) << 24);
  }
  std::int32_t I32(std::size_t off) const { return static_cast<std::int32_t>(U32(off)); }
};

struct DibInfo {
  int width = 0, height = 0;  // height positive
  bool topDown = false;
  int bpp = 0;
  std::size_t headerSize = 0, masksSize = 0, paletteSize = 0;
};

// The info header at `off` of a DIB whose height field may be doubled (icons).
bool ReadDibHeader(const Reader& r, std::size_t off, bool doubled, DibInfo* info) {
  if (!r.Has(off, 40)) return false;
  info->headerSize = r.U32(off);
  if (info->headerSize < 40 || !r.Has(off, info->headerSize)) return false;
  const std::int32_t w = r.I32(off + 4), h = r.I32(off + 8);
  const std::uint32_t planes = r.U16(off + 12), bpp = r.U16(off + 14), compression = r.U32(off + 16);
  const std::uint32_t clrUsed = r.U32(off + 32);
  if (planes != 1 || w <= 0 || w > kMaxSide || h == 0 || h < -kMaxSide * 2 || h > kMaxSide * 2) return false;
  if (bpp != 24 && bpp != 32) return false;
  if (compression == 3) {  // bitfields: accept only the ordinary BGRA layout
    if (bpp != 32) return false;
    std::size_t m = off + 40;
    if (info->headerSize == 40) {
      if (!r.Has(m, 12)) return false;
      info->masksSize = 12;
    }
    if (r.U32(m) != 0x00FF0000 || r.U32(m + 4) != 0x0000FF00 || r.U32(m + 8) != 0x000000FF) return false;
  } else if (compression != 0) {
    return false;
  }
  info->paletteSize = static_cast<std::size_t>(std::min<std::uint32_t>(clrUsed, 256)) * 4;
  info->width = w;
  info->topDown = h < 0;
  info->height = h < 0 ? -h : h;
  if (doubled) info->height /= 2;
  if (info->height <= 0 || info->height > kMaxSide) return false;
  info->bpp = static_cast<int>(bpp);
  return true;
}

std::size_t Stride(int width, int bpp) { return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bpp) + 31) / 32) * 4; }

// Reads the colour rows at `bits` into 0xAARRGGBB (alpha 255 for 24-bit).
bool ReadRows(const Reader& r, std::size_t bits, const DibInfo& info, std::vector<std::uint32_t>* out) {
  const std::size_t stride = Stride(info.width, info.bpp);
  if (!r.Has(bits, stride * static_cast<std::size_t>(info.height))) return false;
  out->assign(static_cast<std::size_t>(info.width) * static_cast<std::size_t>(info.height), 0);
  const int bytes = info.bpp / 8;
  for (int y = 0; y < info.height; ++y) {
    const int row = info.topDown ? y : info.height - 1 - y;
    const std::uint8_t* p = r.d.data() + bits + stride * static_cast<std::size_t>(row);
    std::uint32_t* o = out->data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(info.width);
    for (int x = 0; x < info.width; ++x, p += bytes) {
      const std::uint32_t a = bytes == 4 ? p[3] : 255;
      o[x] = (a << 24) | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) | p[0];
    }
  }
  return true;
}

void Put16(std::vector<std::uint8_t>& v, std::uint32_t x) {
  v.push_back(static_cast<std::uint8_t>(x));
  v.push_back(static_cast<std::uint8_t>(x >> 8));
}
void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}
void PutInfoHeader(std::vector<std::uint8_t>& v, int w, int h, int bpp, std::uint32_t imageSize) {
  Put32(v, 40);
  Put32(v, static_cast<std::uint32_t>(w));
  Put32(v, static_cast<std::uint32_t>(h));
  Put16(v, 1);
  Put16(v, static_cast<std::uint32_t>(bpp));
  Put32(v, 0);
  Put32(v, imageSize);
  Put32(v, 2835);  // 72 dpi
  Put32(v, 2835);
  Put32(v, 0);
  Put32(v, 0);
}

}  // namespace

bool DecodeBmp(std::span<const std::uint8_t> data, Surface* out) {
  try {
    Reader r{data};
    std::size_t info = 0, bits = 0;
    const bool file = r.Has(0, 14) && data[0] == 'B' && data[1] == 'M';
    if (file) info = 14;
    DibInfo di;
    if (!ReadDibHeader(r, info, false, &di)) return false;
    bits = file ? r.U32(10) : info + di.headerSize + di.masksSize + di.paletteSize;
    std::vector<std::uint32_t> argb;
    if (!ReadRows(r, bits, di, &argb)) return false;
    out->Resize(di.width, di.height);
    for (std::size_t i = 0; i < argb.size(); ++i) out->pixels[i] = argb[i] & 0xFFFFFF;
    return true;
  } catch (...) {
    return false;
  }
}

bool DecodeIco(std::span<const std::uint8_t> data, std::vector<IconImage>* out) {
  try {
    Reader r{data};
    if (!r.Has(0, 6) || r.U16(0) != 0 || r.U16(2) != 1) return false;
    const std::size_t count = r.U16(4);
    out->clear();
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t e = 6 + i * 16;
      if (!r.Has(e, 16)) break;
      const std::size_t size = r.U32(e + 8), off = r.U32(e + 12);
      if (!r.Has(off, size)) continue;
      Reader img{data.subspan(off, size)};
      DibInfo di;
      if (!ReadDibHeader(img, 0, true, &di)) continue;  // PNG images land here too
      IconImage icon;
      icon.width = di.width;
      icon.height = di.height;
      const std::size_t colors = di.headerSize + di.masksSize + di.paletteSize;
      if (!ReadRows(img, colors, di, &icon.argb)) continue;
      const std::size_t maskOff = colors + Stride(di.width, di.bpp) * static_cast<std::size_t>(di.height);
      const std::size_t maskStride = Stride(di.width, 1);
      const bool hasMask = img.Has(maskOff, maskStride * static_cast<std::size_t>(di.height));
      const bool anyAlpha =
          di.bpp == 32 && std::any_of(icon.argb.begin(), icon.argb.end(), [](std::uint32_t p) { return (p >> 24) != 0; });
      if (!anyAlpha) {  // no alpha channel: the AND mask says what is transparent
        for (int y = 0; y < di.height; ++y) {
          const int row = di.topDown ? y : di.height - 1 - y;
          for (int x = 0; x < di.width; ++x) {
            bool transparent = false;
            if (hasMask) transparent = img.d[maskOff + maskStride * static_cast<std::size_t>(row) + static_cast<std::size_t>(x / 8)] & (0x80 >> (x % 8));
            std::uint32_t& p = icon.argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(di.width) + static_cast<std::size_t>(x)];
            p = (p & 0xFFFFFF) | (transparent ? 0u : 0xFF000000u);
          }
        }
      }
      out->push_back(std::move(icon));
    }
    return !out->empty();
  } catch (...) {
    return false;
  }
}

std::vector<std::uint8_t> EncodeBmp24(const Surface& s) {
  const std::size_t stride = Stride(s.width, 24);
  const auto imageSize = static_cast<std::uint32_t>(stride * static_cast<std::size_t>(s.height));
  std::vector<std::uint8_t> v;
  v.push_back('B');
  v.push_back('M');
  Put32(v, 54 + imageSize);
  Put32(v, 0);
  Put32(v, 54);
  PutInfoHeader(v, s.width, s.height, 24, imageSize);
  for (int y = s.height - 1; y >= 0; --y) {
    const std::uint32_t* row = s.Row(y);
    std::size_t n = 0;
    for (int x = 0; x < s.width; ++x, n += 3) {
      v.push_back(static_cast<std::uint8_t>(row[x]));
      v.push_back(static_cast<std::uint8_t>(row[x] >> 8));
      v.push_back(static_cast<std::uint8_t>(row[x] >> 16));
    }
    for (; n < stride; ++n) v.push_back(0);
  }
  return v;
}

std::vector<std::uint8_t> EncodeIco(const std::vector<IconImage>& images) {
  std::vector<std::vector<std::uint8_t>> blobs;
  for (const IconImage& im : images) {
    std::vector<std::uint8_t> b;
    const std::size_t maskStride = Stride(im.width, 1);
    const auto colorBytes = static_cast<std::uint32_t>(static_cast<std::size_t>(im.width) * 4 * static_cast<std::size_t>(im.height));
    PutInfoHeader(b, im.width, im.height * 2, 32, colorBytes + static_cast<std::uint32_t>(maskStride * static_cast<std::size_t>(im.height)));
    for (int y = im.height - 1; y >= 0; --y)
      for (int x = 0; x < im.width; ++x) Put32(b, im.argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(im.width) + static_cast<std::size_t>(x)]);
    for (int y = im.height - 1; y >= 0; --y) {
      std::vector<std::uint8_t> row(maskStride, 0);
      for (int x = 0; x < im.width; ++x)
        if ((im.argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(im.width) + static_cast<std::size_t>(x)] >> 24) == 0)
          row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      b.insert(b.end(), row.begin(), row.end());
    }
    blobs.push_back(std::move(b));
  }
  std::vector<std::uint8_t> v;
  Put16(v, 0);
  Put16(v, 1);
  Put16(v, static_cast<std::uint32_t>(images.size()));
  std::uint32_t off = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    v.push_back(static_cast<std::uint8_t>(images[i].width >= 256 ? 0 : images[i].width));
    v.push_back(static_cast<std::uint8_t>(images[i].height >= 256 ? 0 : images[i].height));
    v.push_back(0);
    v.push_back(0);
    Put16(v, 1);
    Put16(v, 32);
    Put32(v, static_cast<std::uint32_t>(blobs[i].size()));
    Put32(v, off);
    off += static_cast<std::uint32_t>(blobs[i].size());
  }
  for (auto& b : blobs) v.insert(v.end(), b.begin(), b.end());
  return v;
}

}  // namespace bp::gdi

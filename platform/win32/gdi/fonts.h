// Inside the GDI: resolved, sized fonts and their glyphs (FreeType, fontconfig).
// Any thread; FreeType calls are serialised by one lock, glyphs are cached per sized font.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/gdi/gdi.h"

namespace bp::gdi {

struct Glyph {
  int advance = 0;        // pixels
  int left = 0, top = 0;  // bitmap's top left relative to the pen on the baseline (top: up)
  int width = 0, height = 0;
  std::vector<std::uint8_t> coverage;  // width x height, 0..255
};

struct FontFace {
  virtual ~FontFace() = default;
  int ascent = 0, descent = 0, internalLeading = 0;
  int aveCharWidth = 0, maxCharWidth = 0, weight = FW_NORMAL;
  int underlineTop = 1, underlineThickness = 1;  // below the baseline, pixels
  bool underline = false, italic = false;
  std::string family;  // the face actually used, UTF-8
  int Height() const { return ascent + descent; }
  // The glyph stays valid for the face's life.
  virtual const Glyph& GetGlyph(char32_t c) const = 0;
  int Advance(char32_t c) const { return GetGlyph(c).advance; }
};

// Never null: when no font file can be found at all, the test font stands in.
std::shared_ptr<const FontFace> ResolveFace(const LOGFONTW& log);

// DrawText's lines for `text` in a rectangle `limit` pixels wide: prefixes, line breaks, word
// wrapping and ellipses applied as `format` (DT_*) asks.
std::vector<std::u32string> LayoutText(const FontFace& f, std::u32string text, int limit, UINT format);

// UTF-16 to code points; lone surrogates become U+FFFD.
std::u32string CodePoints(const char16_t* text, std::size_t length);

}  // namespace bp::gdi

// The fixed-metrics test font, selected by the face name "Bugpost Test" (any case), so that text
// layouts can be checked to the pixel. For a LOGFONT height h, with s = |h| (12 when h is 0):
//   (s is capped at 2048)
//   cell height (tmHeight) = s, ascent = s - s / 4, descent = s / 4, no leading;
//   every character advances s * 3 / 4 pixels (tmAveCharWidth = tmMaxCharWidth = s * 3 / 4);
//   every character except space, tab and the other controls (below U+0021) and U+3000 is drawn
//   as a solid block filling its whole advance and cell, so a run of n characters drawn at (x, y)
//   covers exactly (x, y) to (x + n * advance, y + s); blanks draw nothing.
// Weight, width, italic and underline are ignored.
#pragma once

namespace bp::gdi::testfont {
inline constexpr char16_t kFace[] = u"Bugpost Test";
constexpr int Size(int lfHeight) {
  return lfHeight == 0 ? 12 : (lfHeight < -2048 || lfHeight > 2048) ? 2048 : (lfHeight < 0 ? -lfHeight : lfHeight);
}
constexpr int Advance(int lfHeight) { return Size(lfHeight) * 3 / 4; }
constexpr int Ascent(int lfHeight) { return Size(lfHeight) - Size(lfHeight) / 4; }
constexpr int Descent(int lfHeight) { return Size(lfHeight) / 4; }
constexpr bool IsBlank(char32_t c) { return c < 0x21 || c == 0x3000; }
}  // namespace bp::gdi::testfont

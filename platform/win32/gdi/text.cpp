// Fonts as objects, and text: measuring, drawing, and DrawText's layout (line breaks, word
// wrapping, alignment, ellipses).
#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/gdi/draw.h"
#include "platform/win32/gdi/fonts.h"
#include "platform/win32/gdi/objects.h"

namespace bp::gdi {
namespace {

const FontFace& FaceOf(const DeviceContext& dc) {
  return dc.state.font ? *dc.state.font->face : *StockFont(SYSTEM_FONT)->face;
}

int Width(const FontFace& f, const std::u32string& s) {
  int w = 0;
  for (char32_t c : s) w += f.Advance(c);
  return w;
}

// Draws `text` with the cell's top left at logical (x, y); `clip` (logical) further limits it.
void DrawRun(DeviceContext& dc, const FontFace& f, const std::u32string& text, int x, int y, const RECT* clip) {
  Surface* s = dc.surface();
  if (!s) return;
  const RECT area = clip ? Clip(dc, RECT{dc.SurfaceX(clip->left), dc.SurfaceY(clip->top), dc.SurfaceX(clip->right),
                                         dc.SurfaceY(clip->bottom)})
                        : dc.writable();
  if (IsEmpty(area)) return;
  const int sx = dc.SurfaceX(x), sy = dc.SurfaceY(y);
  const int width = Width(f, text);
  auto fill = [&](RECT r, std::uint32_t pixel) {
    r = Intersect(r, area);
    for (int yy = r.top; yy < r.bottom; ++yy) std::fill(s->Row(yy) + r.left, s->Row(yy) + r.right, pixel);
  };
  if (dc.state.bkMode == OPAQUE) fill(RECT{sx, sy, sx + width, sy + f.Height()}, ToPixel(dc.state.bkColor));
  const std::uint32_t color = ToPixel(dc.state.textColor);
  const int baseline = sy + f.ascent;
  int pen = sx;
  for (char32_t c : text) {
    const Glyph& g = f.GetGlyph(c);
    const int gx = pen + g.left, gy = baseline - g.top;
    const RECT box = Intersect(RECT{gx, gy, gx + g.width, gy + g.height}, area);
    for (int yy = box.top; yy < box.bottom; ++yy) {
      const std::uint8_t* cov = g.coverage.data() + static_cast<std::size_t>(yy - gy) * static_cast<std::size_t>(g.width);
      for (int xx = box.left; xx < box.right; ++xx) Blend(*s, xx, yy, color, cov[xx - gx]);
    }
    pen += g.advance;
  }
  if (f.underline) fill(RECT{sx, baseline + f.underlineTop, sx + width, baseline + f.underlineTop + f.underlineThickness}, color);
}

bool IsWide(char32_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3FFFF);
}
bool NoBreakBefore(char32_t c) { return std::u32string_view(U",.!?;:)]}%，。！？、；：）》」』】〉…．”’").find(c) != std::u32string_view::npos; }
bool NoBreakAfter(char32_t c) { return std::u32string_view(U"([{（《「『【〈“‘").find(c) != std::u32string_view::npos; }

// May a line break between a and b? After a space, and around East Asian characters except
// before closing and after opening punctuation.
bool BreakBetween(char32_t a, char32_t b) {
  if (b == U' ') return false;
  if (a == U' ') return true;
  if (!IsWide(a) && !IsWide(b)) return false;
  return !NoBreakBefore(b) && !NoBreakAfter(a);
}

void TrimTrailingSpaces(std::u32string* s) {
  while (!s->empty() && s->back() == U' ') s->pop_back();
}

// Greedy wrapping of one paragraph into lines no wider than `limit` where a break is allowed;
// an unbreakable run wider than the limit stays whole, as in Win32.
std::vector<std::u32string> Wrap(const FontFace& f, const std::u32string& para, int limit) {
  std::vector<std::u32string> lines;
  std::u32string line;
  int width = 0;
  std::size_t lastBreak = std::u32string::npos;  // index in `line` where a break may go
  for (std::size_t i = 0; i < para.size(); ++i) {
    const char32_t c = para[i];
    if (!line.empty() && BreakBetween(line.back(), c)) lastBreak = line.size();
    line.push_back(c);
    width += f.Advance(c);
    if (width <= limit || c == U' ') continue;
    if (lastBreak == std::u32string::npos || lastBreak == 0) continue;  // no place to break yet
    std::u32string rest = line.substr(lastBreak);
    line.resize(lastBreak);
    TrimTrailingSpaces(&line);
    lines.push_back(std::move(line));
    line = std::move(rest);
    width = Width(f, line);
    lastBreak = std::u32string::npos;  // `rest` holds no break: it began at the last one
  }
  lines.push_back(std::move(line));  // the paragraph's own end keeps its spaces
  return lines;
}

std::u32string EndEllipsis(const FontFace& f, const std::u32string& s, int limit) {
  const std::u32string dots = U"...";
  std::u32string head = s;
  while (!head.empty() && Width(f, head) + Width(f, dots) > limit) head.pop_back();
  return head + dots;
}

// Keeps the last path component whole where it can and cuts the text before it.
std::u32string PathEllipsis(const FontFace& f, const std::u32string& s, int limit) {
  const std::size_t sep = s.find_last_of(U"\\/");
  if (sep == std::u32string::npos) return EndEllipsis(f, s, limit);
  const std::u32string dots = U"...";
  std::u32string head = s.substr(0, sep);
  const std::u32string tail = s.substr(sep);
  while (!head.empty() && Width(f, head) + Width(f, dots) + Width(f, tail) > limit) head.pop_back();
  if (head.empty() && Width(f, dots) + Width(f, tail) > limit) return EndEllipsis(f, dots + tail, limit);
  return head + dots + tail;
}

// "&x" draws x (the mnemonic is not underlined), "&&" draws "&".
std::u32string StripPrefixes(const std::u32string& s) {
  std::u32string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == U'&') {
      if (++i == s.size()) break;
    }
    out.push_back(s[i]);
  }
  return out;
}

std::size_t Length(LPCWSTR s, int c) {
  if (c >= 0) return static_cast<std::size_t>(c);
  std::size_t n = 0;
  while (s[n]) ++n;
  return n;
}

}  // namespace

std::vector<std::u32string> LayoutText(const FontFace& f, std::u32string text, int limit, UINT format) {
  if (!(format & DT_NOPREFIX)) text = StripPrefixes(text);
  const bool single = (format & DT_SINGLELINE) != 0;

  std::vector<std::u32string> lines;
  if (single) {
    std::u32string one;
    for (char32_t c : text)
      if (c != U'\r' && c != U'\n') one.push_back(c);
    lines.push_back(std::move(one));
  } else {
    std::u32string para;
    auto flush = [&] {
      if (format & DT_WORDBREAK) {
        for (auto& l : Wrap(f, para, limit)) lines.push_back(std::move(l));
      } else {
        lines.push_back(para);
      }
      para.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == U'\r' || text[i] == U'\n') {
        if (text[i] == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
        flush();
      } else {
        para.push_back(text[i]);
      }
    }
    flush();
  }
  for (auto& l : lines) {
    if (Width(f, l) <= limit) continue;
    if (format & DT_PATH_ELLIPSIS)
      l = PathEllipsis(f, l, limit);
    else if (format & DT_END_ELLIPSIS)
      l = EndEllipsis(f, l, limit);
  }
  return lines;
}

}  // namespace bp::gdi

using namespace bp::gdi;

HFONT CreateFontIndirectW(const LOGFONTW* lplf) {
  if (!lplf) return nullptr;
  try {
    auto f = std::make_shared<FontObject>();
    f->log = *lplf;
    f->log.lfFaceName[LF_FACESIZE - 1] = 0;
    f->face = ResolveFace(f->log);
    return static_cast<HFONT>(Register(std::move(f)));
  } catch (...) {
    return nullptr;
  }
}

BOOL GetTextMetricsW(HDC hdc, LPTEXTMETRICW lptm) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc || !lptm) return FALSE;
  const FontFace& f = FaceOf(*dc);
  TEXTMETRICW tm;
  tm.tmHeight = f.Height();
  tm.tmAscent = f.ascent;
  tm.tmDescent = f.descent;
  tm.tmInternalLeading = f.internalLeading;
  tm.tmAveCharWidth = f.aveCharWidth;
  tm.tmMaxCharWidth = f.maxCharWidth;
  tm.tmWeight = f.weight;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFFFC;
  tm.tmDefaultChar = 0x3F;
  tm.tmBreakChar = 0x20;
  tm.tmItalic = f.italic ? 1 : 0;
  tm.tmUnderlined = f.underline ? 1 : 0;
  tm.tmPitchAndFamily = 0x06;  // variable pitch, TrueType
  tm.tmCharSet = dc->state.font ? dc->state.font->log.lfCharSet : DEFAULT_CHARSET;
  *lptm = tm;
  return TRUE;
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, LPSIZE psizl) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc || !psizl || c < 0 || (!lpString && c > 0)) return FALSE;
  try {
    const FontFace& f = FaceOf(*dc);
    psizl->cx = Width(f, CodePoints(lpString, static_cast<std::size_t>(c)));
    psizl->cy = f.Height();
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR lpString, int c) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc || c < 0 || (!lpString && c > 0)) return FALSE;
  try {
    DrawRun(*dc, FaceOf(*dc), CodePoints(lpString, static_cast<std::size_t>(c)), x, y, nullptr);
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

int DrawTextW(HDC hdc, LPCWSTR lpchText, int cchText, LPRECT lprc, UINT format) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc || !lprc || !lpchText) return 0;
  try {
    const FontFace& f = FaceOf(*dc);
    const std::vector<std::u32string> lines =
        LayoutText(f, CodePoints(lpchText, Length(lpchText, cchText)), lprc->right - lprc->left, format);
    const bool single = (format & DT_SINGLELINE) != 0;
    const int lh = f.Height();  // the fonts have no external leading
    const int total = lh * static_cast<int>(lines.size());
    if (format & DT_CALCRECT) {
      int widest = 0;
      for (const auto& l : lines) widest = std::max(widest, Width(f, l));
      lprc->right = lprc->left + widest;
      lprc->bottom = lprc->top + total;
      return total;
    }
    int y = lprc->top;
    if (single && (format & DT_VCENTER)) y = (lprc->top + lprc->bottom - lh) / 2;
    else if (single && (format & DT_BOTTOM)) y = lprc->bottom - lh;
    const RECT* clip = (format & DT_NOCLIP) ? nullptr : lprc;
    const int top = y;
    for (const auto& l : lines) {
      const int w = Width(f, l);
      int x = lprc->left;
      if (format & DT_CENTER) x = (lprc->left + lprc->right - w) / 2;
      else if (format & DT_RIGHT) x = lprc->right - w;
      DrawRun(*dc, f, l, x, y, clip);
      y += lh;
    }
    if (single && (format & (DT_VCENTER | DT_BOTTOM))) return top + lh - lprc->top;
    return total;
  } catch (...) {
    return 0;
  }
}

// Font resolution and glyph rendering: fontconfig finds the file, FreeType draws the glyphs.
#include "platform/win32/gdi/fonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <tuple>
#include <unordered_map>

#include "platform/win32/gdi/testfont.h"

namespace bp::gdi {

std::u32string CodePoints(const char16_t* text, std::size_t length) {
  std::u32string out;
  out.reserve(length);
  for (std::size_t i = 0; i < length; ++i) {
    char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      out.push_back(0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      out.push_back(0xFFFD);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

namespace {

// One lock for everything FreeType and fontconfig: neither is safe to share between threads.
std::mutex& FontMutex() {
  static std::mutex* m = new std::mutex;
  return *m;
}

std::string Utf8(const char16_t* s, std::size_t max) {
  std::u32string cps;
  std::size_t n = 0;
  while (n < max && s[n]) ++n;
  cps = CodePoints(s, n);
  std::string out;
  for (char32_t c : cps) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// ---- the test font ----------------------------------------------------------------------------
class TestFace final : public FontFace {
 public:
  explicit TestFace(int lfHeight, bool underlined) {
    size_ = testfont::Size(lfHeight);
    ascent = testfont::Ascent(lfHeight);
    descent = testfont::Descent(lfHeight);
    aveCharWidth = maxCharWidth = testfont::Advance(lfHeight);
    underline = underlined;
    family = "Bugpost Test";
    block_.advance = blank_.advance = aveCharWidth;
    block_.top = ascent;
    block_.width = aveCharWidth;
    block_.height = size_;
    block_.coverage.assign(static_cast<std::size_t>(block_.width) * static_cast<std::size_t>(block_.height), 255);
  }
  const Glyph& GetGlyph(char32_t c) const override { return testfont::IsBlank(c) ? blank_ : block_; }

 private:
  int size_ = 0;
  Glyph block_, blank_;
};

// ---- FreeType faces ---------------------------------------------------------------------------
struct FtLibrary {
  FT_Library lib = nullptr;
  FtLibrary() {
    if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
  }
};
FT_Library Library() {
  static FtLibrary* l = new FtLibrary;  // lives for the process: faces are cached for it too
  return l->lib;
}

struct FileFace {
  FT_Face face = nullptr;
  int upem = 1000, winAscent = 800, winDescent = 200, avgWidth = 500;
  bool bold = false, italic = false;
};

// Opened faces by file and index; kept for the process.
FileFace* OpenFace(const std::string& file, int index) {
  static auto* faces = new std::map<std::pair<std::string, int>, FileFace>;
  auto key = std::make_pair(file, index);
  auto it = faces->find(key);
  if (it != faces->end()) return it->second.face ? &it->second : nullptr;
  FileFace& f = (*faces)[key];
  if (!Library() || FT_New_Face(Library(), file.c_str(), index, &f.face) != 0) {
    f.face = nullptr;
    return nullptr;
  }
  FT_Select_Charmap(f.face, FT_ENCODING_UNICODE);
  f.upem = f.face->units_per_EM > 0 ? f.face->units_per_EM : 1000;
  f.winAscent = f.face->ascender;
  f.winDescent = -f.face->descender;
  f.avgWidth = f.upem / 2;
  if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f.face, FT_SFNT_OS2))) {
    if (os2->usWinAscent + os2->usWinDescent > 0) {
      f.winAscent = os2->usWinAscent;
      f.winDescent = os2->usWinDescent;
    }
    if (os2->xAvgCharWidth > 0) f.avgWidth = os2->xAvgCharWidth;
  }
  if (f.winAscent + f.winDescent <= 0) {
    f.winAscent = f.upem * 4 / 5;
    f.winDescent = f.upem / 5;
  }
  f.bold = (f.face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
  f.italic = (f.face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
  return &f;
}

class FreeTypeFace final : public FontFace {
 public:
  FreeTypeFace(FileFace* file, int ppem, int xppem, bool embolden, bool slant)
      : file_(file), ppem_(ppem), xppem_(xppem), embolden_(embolden), slant_(slant) {}

  void InitMetrics(const LOGFONTW& log, const std::string& name) {
    family = name;
    const double scale = static_cast<double>(ppem_) / file_->upem;
    ascent = static_cast<int>(std::lround(file_->winAscent * scale));
    descent = static_cast<int>(std::lround(file_->winDescent * scale));
    if (log.lfHeight > 0 && log.lfHeight <= 2048) descent = std::max(0, log.lfHeight - ascent);  // the cell is what was asked
    internalLeading = std::max(0, Height() - ppem_);
    aveCharWidth = std::max(1, static_cast<int>(std::lround(file_->avgWidth * static_cast<double>(xppem_) / file_->upem)));
    maxCharWidth = std::max(aveCharWidth, static_cast<int>(std::lround(
                                              (file_->face->bbox.xMax - file_->face->bbox.xMin) * static_cast<double>(xppem_) / file_->upem)));
    weight = log.lfWeight == 0 ? FW_NORMAL : log.lfWeight;
    underline = log.lfUnderline != 0;
    italic = log.lfItalic != 0;
    if (file_->face->underline_thickness > 0) {
      underlineThickness = std::max(1, static_cast<int>(std::lround(file_->face->underline_thickness * scale)));
      underlineTop = std::max(1, static_cast<int>(std::lround(-file_->face->underline_position * scale)) - underlineThickness / 2);
    }
    if (descent > 0) underlineTop = std::min(underlineTop, std::max(0, descent - underlineThickness));
  }

  const Glyph& GetGlyph(char32_t c) const override {
    std::lock_guard lock(FontMutex());
    auto it = cache_.find(c);
    if (it != cache_.end()) return it->second;
    Glyph& g = cache_[c];
    Render(c, &g);
    return g;
  }

 private:
  void Render(char32_t c, Glyph* g) const {
    FT_Face face = file_->face;
    if (FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(xppem_), static_cast<FT_UInt>(ppem_)) != 0) return;
    if (slant_) {
      FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};  // about 12 degrees
      FT_Set_Transform(face, &shear, nullptr);
    } else {
      FT_Set_Transform(face, nullptr, nullptr);
    }
    FT_UInt index = FT_Get_Char_Index(face, c);
    if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_NORMAL | FT_LOAD_FORCE_AUTOHINT) != 0) return;
    FT_GlyphSlot slot = face->glyph;
    if (embolden_ && slot->format == FT_GLYPH_FORMAT_OUTLINE) FT_Outline_Embolden(&slot->outline, 64);
    g->advance = static_cast<int>((slot->advance.x + 32) >> 6) + (embolden_ ? 1 : 0);
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return;
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY && bm.pixel_mode != FT_PIXEL_MODE_MONO) return;
    g->left = slot->bitmap_left;
    g->top = slot->bitmap_top;
    g->width = static_cast<int>(bm.width);
    g->height = static_cast<int>(bm.rows);
    g->coverage.resize(static_cast<std::size_t>(g->width) * static_cast<std::size_t>(g->height));
    for (int y = 0; y < g->height; ++y) {
      const unsigned char* row = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
      for (int x = 0; x < g->width; ++x) {
        std::uint8_t v = bm.pixel_mode == FT_PIXEL_MODE_GRAY
                             ? row[x]
                             : static_cast<std::uint8_t>((row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0);
        g->coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(g->width) + static_cast<std::size_t>(x)] = v;
      }
    }
  }

  FileFace* file_;
  int ppem_, xppem_;
  bool embolden_, slant_;
  mutable std::unordered_map<char32_t, Glyph> cache_;
};

struct FoundFile {
  std::string path, family;
  int index = 0;
};

// Called with FontMutex held.
bool Match(FcPattern* pattern, FoundFile* out) {
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  if (!match) return false;
  FcChar8* file = nullptr;
  FcChar8* family = nullptr;
  int index = 0;
  bool ok = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch;
  if (ok) {
    out->path = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    out->index = index;
    out->family.clear();
    if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch) out->family = reinterpret_cast<const char*>(family);
  }
  FcPatternDestroy(match);
  return ok;
}

// The file for a face name: the face itself when fontconfig has it, else the best CJK sans for
// zh-CN (the program's texts are Chinese). Called with FontMutex held.
bool FindFile(const std::string& face, bool bold, FoundFile* out) {
  static auto* cache = new std::map<std::pair<std::string, bool>, std::pair<bool, FoundFile>>;
  auto key = std::make_pair(Lower(face), bold);
  if (auto it = cache->find(key); it != cache->end()) {
    *out = it->second.second;
    return it->second.first;
  }
  bool found = false;
  if (!FcInit()) {
    (*cache)[key] = {false, {}};
    return false;
  }
  if (!face.empty()) {
    if (FcPattern* p = FcPatternCreate()) {
      FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
      FcPatternAddInteger(p, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
      FoundFile f;
      // fontconfig always answers with something; take it only when it is the family asked for.
      if (Match(p, &f)) {
        if (FcPattern* q = FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(f.path.c_str()), f.index, nullptr, nullptr)) {
          FcChar8* fam = nullptr;
          for (int i = 0; FcPatternGetString(q, FC_FAMILY, i, &fam) == FcResultMatch; ++i)
            if (Lower(reinterpret_cast<const char*>(fam)) == Lower(face)) found = true;
          FcPatternDestroy(q);
        }
        if (found) *out = f;
      }
      FcPatternDestroy(p);
    }
  }
  if (!found) {
    if (FcPattern* p = FcPatternCreate()) {
      FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
      FcPatternAddString(p, FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
      FcPatternAddInteger(p, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
      found = Match(p, out);
      FcPatternDestroy(p);
    }
  }
  (*cache)[key] = {found, *out};
  return found;
}

}  // namespace

std::shared_ptr<const FontFace> ResolveFace(const LOGFONTW& log) {
  const std::string face = Utf8(log.lfFaceName, LF_FACESIZE);
  if (Lower(face) == "bugpost test") return std::make_shared<TestFace>(log.lfHeight, log.lfUnderline != 0);
  try {
    const bool wantBold = log.lfWeight >= FW_SEMIBOLD;
    std::lock_guard lock(FontMutex());
    FoundFile found;
    FileFace* file = FindFile(face, wantBold, &found) ? OpenFace(found.path, found.index) : nullptr;
    if (!file) return std::make_shared<TestFace>(log.lfHeight, log.lfUnderline != 0);

    // Sized fonts are shared: a button creates its font on every draw.
    using Key = std::tuple<std::string, int, LONG, LONG, LONG, bool, bool>;
    static auto* sized = new std::map<Key, std::shared_ptr<FreeTypeFace>>;
    Key key{found.path, found.index, log.lfHeight, log.lfWidth, log.lfWeight, log.lfItalic != 0, log.lfUnderline != 0};
    if (auto it = sized->find(key); it != sized->end()) return it->second;

    // Sizes beyond any screen are capped before any arithmetic on them.
    const LONG height = std::clamp<LONG>(log.lfHeight, -2048, 2048), width = std::clamp<LONG>(log.lfWidth, -2048, 2048);
    int ppem = 12;
    if (height < 0) ppem = -height;
    if (height > 0)
      ppem = std::max(1, static_cast<int>(std::lround(static_cast<double>(height) * file->upem / (file->winAscent + file->winDescent))));
    int xppem = ppem;
    if (width != 0) {
      const double avg = static_cast<double>(file->avgWidth) * ppem / file->upem;
      if (avg > 0) xppem = std::clamp(static_cast<int>(std::lround(ppem * std::abs(width) / avg)), 1, 2048);
    }
    auto f = std::make_shared<FreeTypeFace>(file, ppem, xppem, wantBold && !file->bold, log.lfItalic && !file->italic);
    f->InitMetrics(log, found.family);
    (*sized)[key] = f;
    return f;
  } catch (...) {
    return std::make_shared<TestFace>(log.lfHeight, log.lfUnderline != 0);
  }
}

}  // namespace bp::gdi

#if defined(__SANITIZE_ADDRESS__)
// fontconfig keeps a few blocks from parsing its configuration files that no pointer reaches;
// that is the library's, once per process. Weak, so a program's own suppressions take over.
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

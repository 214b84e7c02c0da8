// The program's embedded resources: sizes and the colours at the places that matter.
// PNGs of each go to $BUGPOST_ARTIFACTS for a person to look at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>
#include <string>

#include "platform/win32/gdi/gdi.h"
#include "platform/win32/gdi/resources.h"
#include "platform/win32/gdi/surface.h"
#include "tests/gdi/support.h"

namespace {

struct Loaded {
  explicit Loaded(int id) : bitmap(LoadBitmapW(nullptr, MAKEINTRESOURCEW(id))) {}
  ~Loaded() { DeleteObject(bitmap); }
  const bp::gdi::Surface& s() const { return *bp::gdi::GetBitmapSurface(bitmap); }
  COLORREF At(int x, int y) const {
    const std::uint32_t p = s().pixels[static_cast<std::size_t>(y) * s().width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  HBITMAP bitmap;
};

bool Near(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}
std::string Str(COLORREF c) {
  return "RGB(" + std::to_string(GetRValue(c)) + "," + std::to_string(GetGValue(c)) + "," + std::to_string(GetBValue(c)) + ")";
}
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

}  // namespace

TEST(Resources, BitmapsHaveTheirSizes) {
  struct Case {
    int id, width, height;
  } cases[] = {{129, 382, 262}, {130, 132, 36}, {131, 440, 30}, {132, 342, 2}, {133, 342, 2}};
  for (const Case& k : cases) {
    Loaded b(k.id);
    ASSERT_NE(b.bitmap, nullptr) << k.id;
    BITMAP bm;
    GetObjectW(b.bitmap, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, k.width) << k.id;
    EXPECT_EQ(bm.bmHeight, k.height) << k.id;
    bp::test::SavePng(b.s(), "resource_bitmap" + std::to_string(k.id));
  }
}

TEST(Resources, WindowSkin129) {
  Loaded b(129);
  ASSERT_NE(b.bitmap, nullptr);
  // The caption band: ends and middle, below the lightened top rows and the corners.
  for (int y : {14, 20, 35}) {
    EXPECT_EQ(b.At(0, y), RGB(8, 161, 223)) << y;
    EXPECT_EQ(b.At(381, y), RGB(8, 161, 223)) << y;
    EXPECT_TRUE(Near(b.At(190, y), RGB(30, 197, 242), 1)) << Str(b.At(190, y));
    EXPECT_TRUE(Near(b.At(191, y), RGB(30, 197, 242), 1)) << Str(b.At(191, y));
  }
  // Lighter towards the top, but still the band's blue.
  EXPECT_GT(GetRValue(b.At(100, 0)), GetRValue(b.At(100, 30)));
  EXPECT_GT(GetBValue(b.At(100, 0)), GetRValue(b.At(100, 0)));
  // White title within x 10..64, y 12..24, and only there in the band's left part.
  int title = 0, stray = 0;
  for (int y = 0; y < 36; ++y)
    for (int x = 3; x < 120; ++x) {
      const COLORREF p = b.At(x, y);
      const bool whitish = GetRValue(p) > 120;  // the band's red channel stays below 60
      const bool box = x >= 10 && x <= 64 && y >= 12 && y <= 24;
      if (whitish && box) ++title;
      if (whitish && !box && y > 2) ++stray;
    }
  EXPECT_GT(title, 60);
  EXPECT_EQ(stray, 0);
  bool pureWhite = false;
  for (int y = 12; y <= 24; ++y)
    for (int x = 10; x <= 64; ++x) pureWhite |= b.At(x, y) == kWhite;
  EXPECT_TRUE(pureWhite);
  // Plain white below the band, softened corners, no magenta anywhere.
  EXPECT_EQ(b.At(0, 36), kWhite);
  EXPECT_EQ(b.At(200, 150), kWhite);
  EXPECT_EQ(b.At(381, 200), kWhite);
  EXPECT_EQ(b.At(3, 261), kWhite);
  for (auto [x, y] : {std::pair{0, 0}, {381, 0}, {0, 261}, {381, 261}}) {
    const COLORREF p = b.At(x, y);
    EXPECT_NE(p, kWhite);
    EXPECT_GT(GetRValue(p), 140) << x << "," << y << " " << Str(p);  // greyed, not blue or black
  }
  EXPECT_NE(b.At(1, 260), kWhite);  // a neighbour softened less
  EXPECT_GT(GetRValue(b.At(1, 260)), GetRValue(b.At(0, 261)));
  int magenta = 0;
  for (int y = 0; y < 262; ++y)
    for (int x = 0; x < 382; ++x) magenta += b.At(x, y) == kMagenta;
  EXPECT_EQ(magenta, 0);
}

TEST(Resources, CloseButtonStrip130) {
  Loaded b(130);
  Loaded skin(129);
  ASSERT_NE(b.bitmap, nullptr);
  for (int x = 0; x < 33; ++x)
    for (int y = 0; y < 36; ++y) {
      ASSERT_EQ(b.At(x, y), b.At(99 + x, y)) << "normal and disabled differ at " << x << "," << y;
    }
  // Normal: the band's own blue (the button sits at x 349 of the skin), a white cross in the middle.
  EXPECT_EQ(b.At(2, 30), skin.At(351, 30));
  EXPECT_EQ(b.At(16, 18), kWhite);
  EXPECT_LT(GetRValue(b.At(16, 12)), 60);  // between the arms
  // Hover fades from red at the top to blue at the bottom; pressed starts deeper.
  EXPECT_TRUE(Near(b.At(33 + 2, 0), RGB(254, 76, 76), 2)) << Str(b.At(35, 0));
  EXPECT_TRUE(Near(b.At(66 + 2, 0), RGB(248, 48, 48), 2)) << Str(b.At(68, 0));
  EXPECT_EQ(b.At(33 + 2, 35), skin.At(351, 35));
  EXPECT_GT(GetRValue(b.At(35, 10)), GetRValue(b.At(35, 25)));
  EXPECT_EQ(b.At(33 + 16, 18), kWhite);
  EXPECT_EQ(b.At(66 + 16, 18), kWhite);
}

TEST(Resources, SendButtonStrip131) {
  Loaded b(131);
  ASSERT_NE(b.bitmap, nullptr);
  const COLORREF fills[4] = {RGB(61, 200, 38), RGB(91, 220, 70), RGB(46, 178, 24), RGB(196, 196, 196)};
  for (int cell = 0; cell < 4; ++cell) {
    const int l = cell * 110;
    for (auto [x, y] : {std::pair{55, 15}, {3, 0}, {0, 3}, {106, 29}, {109, 15}, {50, 0}})
      EXPECT_EQ(b.At(l + x, y), fills[cell]) << cell << " at " << x << "," << y;
    for (auto [x, y] : {std::pair{0, 0}, {109, 0}, {0, 29}, {109, 29}}) {
      const COLORREF p = b.At(l + x, y);
      EXPECT_TRUE(Near(p, kWhite, 40)) << cell << " corner " << Str(p);  // near white
      EXPECT_NE(p, kMagenta);
    }
    for (auto [x, y] : {std::pair{1, 0}, {0, 1}, {108, 0}, {0, 28}}) {  // blending from white into the fill
      const COLORREF p = b.At(l + x, y);
      EXPECT_NE(p, fills[cell]) << cell << " at " << x << "," << y;
      EXPECT_GE(GetGValue(p), GetGValue(fills[cell]));
    }
  }
}

TEST(Resources, ProgressTrack132AndFill133) {
  Loaded track(132), fill(133);
  ASSERT_NE(track.bitmap, nullptr);
  ASSERT_NE(fill.bitmap, nullptr);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 342; ++x) ASSERT_EQ(track.At(x, y), RGB(230, 230, 230)) << x;
  const COLORREF ends[3] = {RGB(70, 185, 231), RGB(38, 173, 227), RGB(14, 163, 223)};
  for (int y = 0; y < 2; ++y) {
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(fill.At(i, y), ends[i]) << i;
      EXPECT_EQ(fill.At(341 - i, y), ends[i]) << i;
    }
    for (int x = 3; x < 339; ++x) ASSERT_EQ(fill.At(x, y), RGB(18, 165, 224)) << x;
  }
}

TEST(Resources, Icon128HasThreeSizesWithAlpha) {
  HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(128));
  ASSERT_NE(icon, nullptr);
  for (int size : {16, 32, 48}) {
    int w = 0, h = 0;
    std::vector<std::uint32_t> px;
    ASSERT_TRUE(bp::gdi::GetIconPixels(icon, size, &w, &h, &px));
    EXPECT_EQ(w, size);
    EXPECT_EQ(h, size);
    auto at = [&](double fx, double fy) { return px[static_cast<std::size_t>(int(fy * size)) * size + int(fx * size)]; };
    auto alpha = [](std::uint32_t p) { return p >> 24; };
    auto red = [](std::uint32_t p) { return (p >> 16) & 0xFF; };
    auto green = [](std::uint32_t p) { return (p >> 8) & 0xFF; };
    EXPECT_EQ(alpha(at(0.97, 0.03)), 0u) << size;  // transparent beside the sheet's top
    EXPECT_EQ(alpha(at(0.02, 0.5)), 0u) << size;
    const std::uint32_t sheet = at(0.30, 0.15);
    EXPECT_EQ(alpha(sheet), 255u);
    EXPECT_GT(green(sheet), red(sheet) + 60);  // green sheet
    const std::uint32_t badge = at(11.0 / 16, 14.2 / 16);  // on the badge below its centre, off the cross
    EXPECT_EQ(alpha(badge), 255u);
    EXPECT_GT(red(badge), green(badge) + 100);
    const std::uint32_t cross = at(11.0 / 16, 11.0 / 16);  // the badge's centre
    EXPECT_GT(red(cross), 200u);
    EXPECT_GT(green(cross), 200u);
    // Partly transparent pixels exist along the edges: a real alpha channel, not a mask.
    int partial = 0;
    for (std::uint32_t p : px) partial += alpha(p) > 0 && alpha(p) < 255;
    EXPECT_GT(partial, 0) << size;
  }
  // Drawn on white and on black for a person to look at.
  for (COLORREF bg : {kWhite, RGB(0, 0, 0)}) {
    bp::test::Canvas c(16 + 32 + 48 + 16, 56, bg);
    DrawIconEx(c.dc(), 4, 4, icon, 16, 16, 0, nullptr, DI_NORMAL);
    DrawIconEx(c.dc(), 24, 4, icon, 32, 32, 0, nullptr, DI_NORMAL);
    DrawIconEx(c.dc(), 60, 4, icon, 48, 48, 0, nullptr, DI_NORMAL);
    bp::test::SavePng(c.surface(), bg == kWhite ? "resource_icon128_on_white" : "resource_icon128_on_black");
  }
}

TEST(Resources, DialogTemplate102IsEmbeddedWhole) {
  std::ifstream in(std::string(BUGPOST_RES_DIR) + "/dialog102.dlg", std::ios::binary);
  const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_FALSE(file.empty());
  const auto embedded = bp::res::Find(RT_DIALOG, 102);
  EXPECT_EQ(std::vector<std::uint8_t>(embedded.begin(), embedded.end()), file);
}

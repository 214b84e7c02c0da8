// The resource table, embedded bitmaps, BMP and ICO reading, icons drawn with alpha.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win32/gdi/gdi.h"
#include "platform/win32/gdi/images.h"
#include "platform/win32/gdi/objects.h"
#include "platform/win32/gdi/resources.h"
#include "platform/win32/gdi/surface.h"
#include "tests/gdi/support.h"

using bp::test::Canvas;

namespace {
COLORREF Probe(int x, int y) { return (x == 4 && y == 2) ? RGB(255, 0, 255) : RGB(10 * x, 20 * y, 200); }
}  // namespace

TEST(GdiResources, EmbeddedBitmapsLoadInBothRowOrders) {
  for (int id : {7001, 7002}) {
    HBITMAP bmp = LoadBitmapW(nullptr, MAKEINTRESOURCEW(id));
    ASSERT_NE(bmp, nullptr) << id;
    BITMAP bm;
    GetObjectW(bmp, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 5);
    EXPECT_EQ(bm.bmHeight, 3);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) EXPECT_EQ(GetPixel(dc, x, y), Probe(x, y)) << id << " " << x << "," << y;
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
  }
  EXPECT_EQ(LoadBitmapW(nullptr, MAKEINTRESOURCEW(7999)), nullptr);
  EXPECT_EQ(LoadBitmapW(nullptr, u"named"), nullptr);
  EXPECT_TRUE(bp::res::Find(RT_BITMAP, 7999).empty());
  EXPECT_FALSE(bp::res::Find(RT_BITMAP, 7001).empty());
  EXPECT_TRUE(bp::res::Find(RT_DIALOG, 7001).empty());
}

TEST(GdiResources, DamagedBitmapsAreRefused) {
  const auto good = bp::res::Find(RT_BITMAP, 7001);
  ASSERT_FALSE(good.empty());
  static std::vector<std::vector<std::uint8_t>> keep;  // resource data must outlive the table entry
  auto variant = [&](auto edit) {
    keep.emplace_back(good.begin(), good.end());
    edit(keep.back());
    return keep.back();
  };
  const std::vector<std::uint8_t> bad[] = {
      variant([](auto& v) { v.resize(60); }),                         // rows cut off
      variant([](auto& v) { v[28] = 8; }),                            // 8-bit: not read
      variant([](auto& v) { v[30] = 1; }),                            // RLE
      variant([](auto& v) { v[18] = 0xFF; v[19] = 0xFF; v[20] = 0xFF; v[21] = 0x7F; }),  // absurd width
      variant([](auto& v) { v[10] = 0xF0; }),                         // pixel offset past the end
      variant([](auto& v) { v.resize(20); }),
  };
  int id = 7100;
  for (const auto& b : bad) {
    bp::res::Add(RT_BITMAP, id, b.data(), b.size());
    EXPECT_EQ(LoadBitmapW(nullptr, MAKEINTRESOURCEW(id)), nullptr) << id;
    ++id;
  }
}

namespace {
bp::gdi::IconImage Square(int size, std::uint32_t argb) {
  bp::gdi::IconImage im;
  im.width = im.height = size;
  im.argb.assign(static_cast<std::size_t>(size * size), argb);
  return im;
}
const std::vector<std::uint8_t>& IconFile() {
  static const std::vector<std::uint8_t> file = [] {
    auto half = Square(16, 0x80FF0000);  // half-transparent red
    half.argb[0] = 0x00000000;           // a fully transparent corner
    return bp::gdi::EncodeIco({half, Square(32, 0xFF00FF00), Square(48, 0xFF0000FF)});
  }();
  return file;
}
}  // namespace

TEST(GdiResources, IconsPickTheNearestImageAndBlendByAlpha) {
  const auto& file = IconFile();
  bp::res::Add(RT_GROUP_ICON, 7200, file.data(), file.size());
  HICON big = LoadIconW(nullptr, MAKEINTRESOURCEW(7200));
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(7200)), big);  // shared, as in Win32
  int w = 0, h = 0;
  std::vector<std::uint32_t> px;
  ASSERT_TRUE(bp::gdi::GetIconPixels(big, 48, &w, &h, &px));
  EXPECT_EQ(w, 48);
  EXPECT_EQ(px[0], 0xFF0000FFu);
  ASSERT_TRUE(bp::gdi::GetIconPixels(big, 20, &w, &h, &px));
  EXPECT_EQ(w, 16);
  EXPECT_EQ(px[1], 0x80FF0000u);

  Canvas c(40, 40, RGB(0, 0, 255));
  ASSERT_TRUE(DrawIconEx(c.dc(), 2, 2, big, 16, 16, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(c.At(2, 2), RGB(0, 0, 255));       // alpha 0: untouched
  EXPECT_EQ(c.At(3, 2), RGB(128, 0, 127));     // half red over blue
  EXPECT_EQ(c.At(18, 2), RGB(0, 0, 255));      // right of the 16 pixels
  ASSERT_TRUE(DrawIcon(c.dc(), 0, 0, big));     // 32 x 32, the green image
  EXPECT_EQ(c.At(31, 31), RGB(0, 255, 0));
  EXPECT_EQ(c.At(32, 32), RGB(0, 0, 255));
  EXPECT_TRUE(DestroyIcon(big));  // shared: stays usable
  EXPECT_TRUE(DrawIconEx(c.dc(), 0, 0, big, 0, 0, 0, nullptr, DI_NORMAL));

  HICON small = static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(7200), IMAGE_ICON, 16, 16, 0));
  ASSERT_NE(small, nullptr);
  Canvas d(20, 20, RGB(0, 0, 0));
  DrawIconEx(d.dc(), 0, 0, small, 0, 0, 0, nullptr, DI_NORMAL);  // its own size, 16
  EXPECT_EQ(d.At(15, 15), RGB(128, 0, 0));
  EXPECT_EQ(d.At(16, 16), RGB(0, 0, 0));
  EXPECT_TRUE(DestroyIcon(small));
  EXPECT_FALSE(DestroyIcon(small));
  EXPECT_FALSE(DrawIconEx(d.dc(), 0, 0, small, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(7299)), nullptr);
}

TEST(GdiResources, DamagedIconsAreRefused) {
  static std::vector<std::uint8_t> cut(IconFile().begin(), IconFile().begin() + 40);
  bp::res::Add(RT_GROUP_ICON, 7201, cut.data(), cut.size());
  EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(7201)), nullptr);
  static std::vector<std::uint8_t> lying = IconFile();
  lying[6 + 12] = 0xFF;  // first image's offset past the end: skipped, the others still load
  bp::res::Add(RT_GROUP_ICON, 7202, lying.data(), lying.size());
  HICON icon = static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(7202), IMAGE_ICON, 16, 16, 0));
  ASSERT_NE(icon, nullptr);
  int w = 0, h = 0;
  std::vector<std::uint32_t> px;
  bp::gdi::GetIconPixels(icon, 16, &w, &h, &px);
  EXPECT_EQ(w, 32);
  DestroyIcon(icon);
}

TEST(GdiResources, LoadImageScalesBitmapsAndReadsFiles) {
  HBITMAP b = static_cast<HBITMAP>(LoadImageW(nullptr, MAKEINTRESOURCEW(7001), IMAGE_BITMAP, 10, 6, 0));
  ASSERT_NE(b, nullptr);
  const bp::gdi::Surface* s = bp::gdi::GetBitmapSurface(b);
  EXPECT_EQ(s->width, 10);
  EXPECT_EQ(s->height, 6);
  EXPECT_EQ(s->pixels[5 * 10 + 9], 0xFF00FFu);
  DeleteObject(b);
  EXPECT_EQ(LoadImageW(nullptr, u"/nonexistent/x.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
}

TEST(GdiResources, EmbeddingKeepsEveryByteOfEachType) {
  auto file = [](const char* name) {
    std::ifstream in(std::string(BUGPOST_GDI_TEST_DATA) + "/" + name, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  struct Case {
    LPCWSTR type;
    int id;
    const char* name;
  } cases[] = {{RT_BITMAP, 7001, "probe5x3.bmp"}, {RT_DIALOG, 7003, "sample.dlg"}, {RT_GROUP_ICON, 7004, "sample.ico"}};
  for (const Case& k : cases) {
    const auto want = file(k.name);
    ASSERT_FALSE(want.empty()) << k.name;
    const auto got = bp::res::Find(k.type, k.id);
    EXPECT_EQ(std::vector<std::uint8_t>(got.begin(), got.end()), want) << k.name;
  }
  HICON icon = static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(7004), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  EXPECT_NE(icon, nullptr);
  DestroyIcon(icon);
}

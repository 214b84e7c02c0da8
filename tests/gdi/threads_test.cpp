// GDI objects and fonts used from several threads at once: the handle table and the glyph
// caches are shared, each thread draws into its own DC.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/gdi/gdi.h"
#include "platform/win32/gdi/imagelist.h"
#include "tests/gdi/support.h"

TEST(GdiThreads, ObjectsAndTextFromManyThreads) {
  std::atomic<int> failures{0};
  auto work = [&](int seed) {
    for (int i = 0; i < 40; ++i) {
      bp::test::Canvas c(64, 24);
      LOGFONTW lf;
      lf.lfHeight = -12 - (i + seed) % 3;
      const std::u16string face = (i % 2) ? u"微软雅黑" : u"Bugpost Test";
      face.copy(lf.lfFaceName, face.size());
      HFONT font = CreateFontIndirectW(&lf);
      HGDIOBJ old = SelectObject(c.dc(), font);
      SetBkMode(c.dc(), TRANSPARENT);
      SetTextColor(c.dc(), RGB(0, 0, 0));
      RECT r{0, 0, 64, 24};
      if (DrawTextW(c.dc(), u"发送失败！重试", -1, &r, DT_SINGLELINE | DT_VCENTER) <= 0) ++failures;
      HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(i % 10, 0, 10, 10);
      if (CombineRgn(a, a, b, RGN_DIFF) == RGN_ERROR) ++failures;
      HIMAGELIST il = ImageList_Create(16, 24, ILC_COLOR24 | ILC_MASK, 4, 0);
      if (ImageList_AddMasked(il, c.bitmap(), RGB(255, 0, 255)) != 0) ++failures;
      ImageList_Destroy(il);
      DeleteObject(a);
      DeleteObject(b);
      SelectObject(c.dc(), old);
      DeleteObject(font);
    }
  };
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) threads.emplace_back(work, t);
  for (auto& t : threads) t.join();
  EXPECT_EQ(failures.load(), 0);
}

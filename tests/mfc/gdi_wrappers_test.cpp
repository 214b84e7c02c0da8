// The GDI wrappers: memory DCs and bitmaps, selection with the previous object handed back,
// saved states and origins, blits, fonts and text, image lists, and who deletes what.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/mfc/Temp.h"
#include "platform/mfc/afxwin.h"
#include "platform/win32/gdi/testfont.h"

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);

TEST(GdiWrappers, MemoryDcDrawsIntoTheSelectedBitmap) {
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap bmp;
  ASSERT_TRUE(bmp.CreateCompatibleBitmap(&dc, 4, 3));
  BITMAP info{};
  ASSERT_TRUE(bmp.GetBitmap(&info));
  EXPECT_EQ(info.bmWidth, 4);
  EXPECT_EQ(info.bmHeight, 3);

  CBitmap* old = dc.SelectObject(&bmp);
  ASSERT_NE(old, nullptr);
  EXPECT_NE(old->m_hObject, bmp.m_hObject);
  dc.FillSolidRect(1, 1, 2, 1, RGB(1, 2, 3));
  EXPECT_EQ(dc.GetPixel(1, 1), RGB(1, 2, 3));
  EXPECT_EQ(dc.GetPixel(2, 1), RGB(1, 2, 3));
  EXPECT_EQ(dc.GetPixel(0, 0), RGB(0, 0, 0));

  // Window origin (1, 1): logical (1, 1) is device (0, 0) until the state is restored.
  const int saved = dc.SaveDC();
  EXPECT_GT(saved, 0);
  EXPECT_EQ(dc.SetWindowOrg(1, 1), CPoint(0, 0));
  EXPECT_EQ(dc.GetPixel(2, 2), RGB(1, 2, 3));
  EXPECT_EQ(dc.GetPixel(0, 0), CLR_INVALID);
  EXPECT_EQ(dc.SetViewportOrg(1, 1), CPoint(0, 0));  // and back to the identity
  EXPECT_EQ(dc.GetPixel(1, 1), RGB(1, 2, 3));
  EXPECT_TRUE(dc.RestoreDC(-1));
  EXPECT_EQ(dc.GetWindowOrg(), CPoint(0, 0));
  EXPECT_EQ(dc.GetViewportOrg(), CPoint(0, 0));

  // Re-selecting the old bitmap hands back ours.
  CBitmap* ours = dc.SelectObject(old);
  ASSERT_NE(ours, nullptr);
  EXPECT_EQ(ours->m_hObject, bmp.m_hObject);
  EXPECT_EQ(dc.SelectObject(static_cast<CBitmap*>(nullptr)), nullptr);
  bp::mfc::PurgeTemps();
  BITMAP again{};
  EXPECT_TRUE(bmp.GetBitmap(&again));  // temporaries never delete what they wrap
}

TEST(GdiWrappers, BlitsBetweenWrappedDcs) {
  CDC src, dst;
  ASSERT_TRUE(src.CreateCompatibleDC(nullptr));
  ASSERT_TRUE(dst.CreateCompatibleDC(&src));
  CBitmap sb, db;
  ASSERT_TRUE(sb.CreateCompatibleBitmap(&src, 2, 1));
  ASSERT_TRUE(db.CreateCompatibleBitmap(&dst, 4, 2));
  CBitmap* oldS = src.SelectObject(&sb);
  CBitmap* oldD = dst.SelectObject(&db);
  src.SetPixel(0, 0, kMagenta);
  src.SetPixel(1, 0, RGB(10, 20, 30));
  dst.FillSolidRect(0, 0, 4, 2, RGB(255, 255, 255));

  EXPECT_TRUE(dst.BitBlt(0, 0, 2, 1, &src, 0, 0, SRCCOPY));
  EXPECT_EQ(dst.GetPixel(0, 0), kMagenta);
  EXPECT_EQ(dst.GetPixel(1, 0), RGB(10, 20, 30));
  EXPECT_TRUE(dst.TransparentBlt(0, 1, 2, 1, &src, 0, 0, 2, 1, kMagenta));
  EXPECT_EQ(dst.GetPixel(0, 1), RGB(255, 255, 255));  // the key colour leaves the target alone
  EXPECT_EQ(dst.GetPixel(1, 1), RGB(10, 20, 30));
  EXPECT_TRUE(dst.StretchBlt(2, 0, 2, 2, &src, 1, 0, 1, 1, SRCCOPY));
  EXPECT_EQ(dst.GetPixel(3, 1), RGB(10, 20, 30));
  src.SelectObject(oldS);
  dst.SelectObject(oldD);
}

TEST(GdiWrappers, FontsAndText) {
  LOGFONTW lf{};
  lf.lfHeight = -16;
  lf.lfWeight = 500;
  lf.lfUnderline = 1;
  std::memcpy(lf.lfFaceName, bp::gdi::testfont::kFace, sizeof(bp::gdi::testfont::kFace));
  CFont font;
  ASSERT_TRUE(font.CreateFontIndirect(&lf));
  LOGFONTW back{};
  ASSERT_TRUE(font.GetLogFont(&back));
  EXPECT_EQ(back.lfHeight, -16);
  EXPECT_EQ(back.lfWeight, 500);
  EXPECT_EQ(back.lfUnderline, 1);
  EXPECT_EQ(std::u16string(back.lfFaceName), std::u16string(bp::gdi::testfont::kFace));
  EXPECT_FALSE(CFont().CreateFontIndirect(nullptr));

  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap bmp;
  ASSERT_TRUE(bmp.CreateCompatibleBitmap(&dc, 40, 20));
  CBitmap* oldBmp = dc.SelectObject(&bmp);
  CFont* oldFont = dc.SelectObject(&font);
  ASSERT_NE(oldFont, nullptr);

  const int adv = bp::gdi::testfont::Advance(-16);
  CRect calc(0, 0, 0, 0);
  dc.DrawText(CString(u"测试"), calc, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(calc.Width(), 2 * adv);
  EXPECT_EQ(calc.Height(), 16);
  EXPECT_EQ(dc.GetTextExtent(CString(u"abc")), CSize(3 * adv, 16));

  dc.FillSolidRect(0, 0, 40, 20, RGB(255, 255, 255));
  EXPECT_EQ(dc.SetBkMode(TRANSPARENT) != 0, true);
  dc.SetTextColor(RGB(102, 102, 102));
  EXPECT_TRUE(dc.TextOut(2, 1, CString(u"囧")));
  EXPECT_EQ(dc.GetPixel(2, 1), RGB(102, 102, 102));
  EXPECT_EQ(dc.GetPixel(2 + adv - 1, 16), RGB(102, 102, 102));
  EXPECT_EQ(dc.GetPixel(2 + adv, 1), RGB(255, 255, 255));

  EXPECT_EQ(dc.SelectObject(oldFont)->m_hObject, font.m_hObject);
  dc.SelectObject(oldBmp);
  bp::mfc::PurgeTemps();
}

TEST(GdiWrappers, ImageListCutsAStripIntoMaskedCells) {
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap strip;
  ASSERT_TRUE(strip.CreateCompatibleBitmap(&dc, 9, 2));  // 4 cells of 2, one spare column
  CBitmap* old = dc.SelectObject(&strip);
  for (int cell = 0; cell < 4; ++cell) dc.FillSolidRect(cell * 2, 0, 2, 2, RGB(10 * cell, 0, 0));
  dc.SetPixel(2, 0, kMagenta);  // cell 1, top left is transparent
  dc.SelectObject(old);

  CImageList list;
  EXPECT_EQ(list.GetImageCount(), 0);
  EXPECT_EQ(list.Add(&strip, kMagenta), -1);  // nothing created yet
  ASSERT_TRUE(list.Create(2, 2, ILC_COLOR24 | ILC_MASK, 4, 0));
  EXPECT_NE(list.GetSafeHandle(), nullptr);
  EXPECT_EQ(list.Add(&strip, kMagenta), 0);
  EXPECT_EQ(list.GetImageCount(), 4);
  IMAGEINFO ii{};
  ASSERT_TRUE(list.GetImageInfo(2, &ii));
  EXPECT_EQ(CRect(ii.rcImage).Size(), CSize(2, 2));
  EXPECT_FALSE(list.GetImageInfo(4, &ii));

  CBitmap target;
  ASSERT_TRUE(target.CreateCompatibleBitmap(&dc, 2, 2));
  old = dc.SelectObject(&target);
  dc.FillSolidRect(0, 0, 2, 2, RGB(255, 255, 255));
  EXPECT_TRUE(list.Draw(&dc, 1, CPoint(0, 0), ILD_TRANSPARENT));
  EXPECT_EQ(dc.GetPixel(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(dc.GetPixel(1, 1), RGB(10, 0, 0));
  dc.SelectObject(old);

  EXPECT_TRUE(list.DeleteImageList());
  EXPECT_EQ(list.m_hImageList, nullptr);
  EXPECT_FALSE(list.DeleteImageList());
  bp::mfc::PurgeTemps();
}

TEST(GdiWrappers, OwnersDeleteWhatTheyHold) {
  HBITMAP raw = nullptr;
  {
    CBitmap bmp;
    ASSERT_TRUE(bmp.CreateCompatibleBitmap(nullptr, 2, 2));
    raw = bmp;
    CBitmap* temp = CBitmap::FromHandle(raw);
    EXPECT_EQ(CBitmap::FromHandle(raw), temp);
    bp::mfc::PurgeTemps();
    BITMAP info{};
    EXPECT_TRUE(bmp.GetBitmap(&info));
    // Replacing the held bitmap deletes the one held before.
    HBITMAP first = bmp;
    ASSERT_TRUE(bmp.CreateCompatibleBitmap(nullptr, 3, 3));
    EXPECT_EQ(::GetObjectW(first, sizeof(info), &info), 0);
    raw = bmp;
    EXPECT_EQ(bmp.Detach(), raw);
    EXPECT_TRUE(bmp.Attach(raw));
  }
  BITMAP info{};
  EXPECT_EQ(::GetObjectW(raw, sizeof(info), &info), 0);

  CBitmap missing;
  EXPECT_FALSE(missing.LoadBitmap(65000));  // no such resource: nothing held
  EXPECT_EQ(missing.GetSafeHandle(), nullptr);
  EXPECT_FALSE(missing.DeleteObject());
}

}  // namespace

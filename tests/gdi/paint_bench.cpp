// What one paint of the report window costs: the frame's composition (copy of the 382 x 262
// skin) as the baseline, against a label's per-character measuring and a sentence drawn in the
// CJK font. Built on demand only: cmake --build <tree> --target gdi_paint_bench
#include <benchmark/benchmark.h>

#include <string>

#include "platform/win32/gdi/gdi.h"
#include "tests/gdi/support.h"

namespace {
const std::u16string kMessage = u"希望您将此错误报告发送给我们，帮助我们做得更好！";

HFONT Font() {
  LOGFONTW lf;
  lf.lfHeight = -12;
  const std::u16string face = u"微软雅黑";
  face.copy(lf.lfFaceName, face.size());
  return CreateFontIndirectW(&lf);
}

void BM_ComposeFrame(benchmark::State& state) {
  bp::test::Canvas skin(382, 262), frame(382, 262);
  for (auto _ : state) {
    benchmark::DoNotOptimize(BitBlt(frame.dc(), 0, 0, 382, 262, skin.dc(), 0, 0, SRCCOPY));
  }
}
BENCHMARK(BM_ComposeFrame);

void BM_NineSliceOneToOne(benchmark::State& state) {
  bp::test::Canvas skin(382, 262), frame(382, 262);
  for (auto _ : state) {
    const int b = 3, t = 40, W = 382, H = 262;
    StretchBlt(frame.dc(), b, 0, W - 2 * b, t, skin.dc(), b, 0, W - 2 * b, t, SRCCOPY);
    StretchBlt(frame.dc(), b, t, W - 2 * b, H - t - b, skin.dc(), b, t, W - 2 * b, H - t - b, SRCCOPY);
    StretchBlt(frame.dc(), 0, t, b, H - t - b, skin.dc(), 0, t, b, H - t - b, SRCCOPY);
  }
}
BENCHMARK(BM_NineSliceOneToOne);

// The label's wrap loop: one single-line measurement per character.
void BM_LabelMeasuring(benchmark::State& state) {
  bp::test::Canvas c(340, 80);
  HFONT font = Font();
  HGDIOBJ old = SelectObject(c.dc(), font);
  for (auto _ : state) {
    std::u16string line;
    for (char16_t ch : kMessage) {
      line.push_back(ch);
      RECT r{};
      DrawTextW(c.dc(), line.c_str(), static_cast<int>(line.size()), &r, DT_CALCRECT | DT_SINGLELINE);
      benchmark::DoNotOptimize(r);
    }
  }
  SelectObject(c.dc(), old);
  DeleteObject(font);
}
BENCHMARK(BM_LabelMeasuring);

void BM_DrawSentence(benchmark::State& state) {
  bp::test::Canvas c(340, 80);
  HFONT font = Font();
  HGDIOBJ old = SelectObject(c.dc(), font);
  SetBkMode(c.dc(), TRANSPARENT);
  for (auto _ : state) {
    RECT r{0, 0, 340, 20};
    benchmark::DoNotOptimize(DrawTextW(c.dc(), kMessage.c_str(), -1, &r, DT_WORDBREAK));
  }
  SelectObject(c.dc(), old);
  DeleteObject(font);
}
BENCHMARK(BM_DrawSentence);
}  // namespace

BENCHMARK_MAIN();

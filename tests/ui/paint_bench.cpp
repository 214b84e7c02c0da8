// What a full repaint of the report dialog costs: the frame alone (baseline) against the frame with
// its controls, each of which has the frame recompose its whole background for the part under it.
// Prints figures; not a test.
#include <benchmark/benchmark.h>

#include <memory>

#include "tests/ui/harness.h"

using namespace uitest;

namespace {
void Layout(BenchDlg& d, bool controls) {
  ReportLayout(d);
  d.m_stHeadline.m_strText = u"程序崩溃啦，囧。。";
  d.m_stHeadline.m_nFontHeight = 20;
  d.m_stHeadline.MoveWindow(30, 70, 300, 22);
  d.m_stMessage.m_strText = u"希望您将此错误报告发送给我们，帮助我们做得更好！";
  d.m_stMessage.MoveWindow(30, 100, 340, 80);
  d.m_progress.SetSkin();
  d.m_progress.MoveWindow(35, 130, 330, 8);
  d.m_stHeadline.ShowWindow(controls ? SW_SHOW : SW_HIDE);
  d.m_stMessage.ShowWindow(controls ? SW_SHOW : SW_HIDE);
  d.m_progress.ShowWindow(controls ? SW_SHOW : SW_HIDE);
  d.m_btnSend.ShowWindow(controls ? SW_SHOW : SW_HIDE);
  d.m_btnClose.ShowWindow(controls ? SW_SHOW : SW_HIDE);
}

void Repaint(benchmark::State& state, bool controls) {
  Host host([controls](BenchDlg& d) { Layout(d, controls); });
  if (host.Hwnd() == nullptr) {
    state.SkipWithError("the dialog did not start");
    return;
  }
  // The loop runs on the dialog's thread: each round invalidates everything and paints it now.
  host.Run([&] {
    for (auto _ : state)
      ::RedrawWindow(host.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  });
}

void BM_RepaintFrameOnly(benchmark::State& state) { Repaint(state, false); }
void BM_RepaintReportDialog(benchmark::State& state) { Repaint(state, true); }

// One label paint: its background recomposed by the frame, then the per-character wrapping.
void BM_LabelPaint(benchmark::State& state) {
  Host host([](BenchDlg& d) { Layout(d, true); });
  if (host.Hwnd() == nullptr) {
    state.SkipWithError("the dialog did not start");
    return;
  }
  host.Run([&] {
    CStaticEx& s = host.Dlg().m_stMessage;
    for (auto _ : state) ::RedrawWindow(s.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  });
}
}  // namespace

BENCHMARK(BM_RepaintFrameOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RepaintReportDialog)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LabelPaint)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();

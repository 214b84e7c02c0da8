#include "cli/ProgressMeter.h"

#include <string>

int ProgressMeter::Percent(double total, double now) {
  if (!(total > 0) || !(now > 0)) return 0;
  if (now >= total) return 100;
  return static_cast<int>(now * 100.0 / total);
}

void ProgressMeter::Update(double total, double now) {
  if (!(total > 0)) return;
  int percent = Percent(total, now);
  if (percent == shown_) return;
  shown_ = percent;
  if (terminal_) {
    constexpr int kWidth = 40;
    int filled = percent * kWidth / 100;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kWidth - filled), '-');
    std::fprintf(out_, "\rsending [%s] %3d%%", bar.c_str(), percent);
  } else {
    std::fprintf(out_, "%d%%\n", percent);
  }
  std::fflush(out_);
}

void ProgressMeter::Finish() {
  if (terminal_ && shown_ >= 0) {
    std::fputc('\n', out_);
    std::fflush(out_);
  }
  shown_ = -1;
}

// Upload progress on a terminal (one redrawn bar) or in a log (a line per new percentage).
// Used on the sender's UI thread only.
#pragma once
#include <cstdio>

class ProgressMeter {
 public:
  ProgressMeter(std::FILE* out, bool terminal) : out_(out), terminal_(terminal) {}
  // `total` and `now` are byte counts; nothing is drawn while the total is unknown.
  void Update(double total, double now);
  // Ends a bar that was drawn, so what follows starts on a line of its own.
  void Finish();
  static int Percent(double total, double now);

 private:
  std::FILE* out_;
  bool terminal_;
  int shown_ = -1;
};

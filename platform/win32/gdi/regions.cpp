// Regions as bands of spans; every combination is one sweep over both operands' edges.
#include <algorithm>
#include <vector>

#include "platform/win32/gdi/objects.h"

namespace bp::gdi {
namespace {

using Spans = std::vector<std::pair<int, int>>;

bool In(const Spans& s, int x) {
  for (const auto& [l, r] : s)
    if (x >= l && x < r) return true;
  return false;
}

bool Apply(int mode, bool a, bool b) {
  switch (mode) {
    case RGN_AND: return a && b;
    case RGN_OR: return a || b;
    case RGN_XOR: return a != b;
    case RGN_DIFF: return a && !b;
    default: return a;  // RGN_COPY
  }
}

Spans CombineSpans(const Spans& a, const Spans& b, int mode) {
  std::vector<int> xs;
  for (const auto& [l, r] : a) xs.push_back(l), xs.push_back(r);
  for (const auto& [l, r] : b) xs.push_back(l), xs.push_back(r);
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  Spans out;
  for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
    if (!Apply(mode, In(a, xs[i]), In(b, xs[i]))) continue;
    if (!out.empty() && out.back().second == xs[i])
      out.back().second = xs[i + 1];
    else
      out.emplace_back(xs[i], xs[i + 1]);
  }
  return out;
}

const Spans* SpansAt(const std::vector<Band>& bands, int y) {
  for (const Band& b : bands)
    if (y >= b.top && y < b.bottom) return &b.spans;
  return nullptr;
}

std::vector<Band> Combine(const std::vector<Band>& a, const std::vector<Band>& b, int mode) {
  std::vector<int> ys;
  for (const Band& x : a) ys.push_back(x.top), ys.push_back(x.bottom);
  for (const Band& x : b) ys.push_back(x.top), ys.push_back(x.bottom);
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  static const Spans none;
  std::vector<Band> out;
  for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
    const Spans* sa = SpansAt(a, ys[i]);
    const Spans* sb = SpansAt(b, ys[i]);
    Spans s = CombineSpans(sa ? *sa : none, sb ? *sb : none, mode);
    if (s.empty()) continue;
    if (!out.empty() && out.back().bottom == ys[i] && out.back().spans == s)
      out.back().bottom = ys[i + 1];
    else
      out.push_back(Band{ys[i], ys[i + 1], std::move(s)});
  }
  return out;
}

std::vector<Band> FromRect(int x1, int y1, int x2, int y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (x1 == x2 || y1 == y2) return {};
  return {Band{y1, y2, {{x1, x2}}}};
}

int Complexity(const std::vector<Band>& bands) {
  if (bands.empty()) return NULLREGION;
  return bands.size() == 1 && bands[0].spans.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

// Every rectangle of a region, top to bottom, left to right (for window shapes).
bool GetRegionRects(HRGN hrgn, std::vector<RECT>* out) {
  auto r = LookupAs<RegionObject>(hrgn, Kind::Region);
  if (!r || !out) return false;
  out->clear();
  for (const Band& b : r->bands)
    for (const auto& [l, rr] : b.spans) out->push_back(RECT{l, b.top, rr, b.bottom});
  return true;
}

}  // namespace bp::gdi

using namespace bp::gdi;

HRGN CreateRectRgn(int x1, int y1, int x2, int y2) {
  try {
    auto r = std::make_shared<RegionObject>();
    r->bands = FromRect(x1, y1, x2, y2);
    return static_cast<HRGN>(Register(std::move(r)));
  } catch (...) {
    return nullptr;
  }
}

HRGN CreateRectRgnIndirect(const RECT* lprect) {
  return lprect ? CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom) : nullptr;
}

int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode) {
  auto dst = LookupAs<RegionObject>(hrgnDst, Kind::Region);
  auto a = LookupAs<RegionObject>(hrgnSrc1, Kind::Region);
  if (!dst || !a || iMode < RGN_AND || iMode > RGN_COPY) return RGN_ERROR;
  try {
    if (iMode == RGN_COPY) {
      dst->bands = a->bands;
    } else {
      auto b = LookupAs<RegionObject>(hrgnSrc2, Kind::Region);
      if (!b) return RGN_ERROR;
      dst->bands = Combine(a->bands, b->bands, iMode);
    }
  } catch (...) {
    return RGN_ERROR;
  }
  return Complexity(dst->bands);
}

BOOL PtInRegion(HRGN hrgn, int x, int y) {
  auto r = LookupAs<RegionObject>(hrgn, Kind::Region);
  if (!r) return FALSE;
  for (const Band& b : r->bands)
    if (y >= b.top && y < b.bottom) {
      for (const auto& [l, rr] : b.spans)
        if (x >= l && x < rr) return TRUE;
      return FALSE;
    }
  return FALSE;
}

int GetRgnBox(HRGN hrgn, LPRECT lprc) {
  auto r = LookupAs<RegionObject>(hrgn, Kind::Region);
  if (!r || !lprc) return RGN_ERROR;
  *lprc = {};
  if (r->bands.empty()) return NULLREGION;
  RECT box{r->bands.front().spans.front().first, r->bands.front().top, r->bands.front().spans.back().second,
           r->bands.back().bottom};
  for (const Band& b : r->bands) {
    box.left = std::min<LONG>(box.left, b.spans.front().first);
    box.right = std::max<LONG>(box.right, b.spans.back().second);
  }
  *lprc = box;
  return Complexity(r->bands);
}

int OffsetRgn(HRGN hrgn, int x, int y) {
  auto r = LookupAs<RegionObject>(hrgn, Kind::Region);
  if (!r) return RGN_ERROR;
  for (Band& b : r->bands) {
    b.top += y;
    b.bottom += y;
    for (auto& s : b.spans) s.first += x, s.second += x;
  }
  return Complexity(r->bands);
}

BOOL EqualRgn(HRGN hrgn1, HRGN hrgn2) {
  auto a = LookupAs<RegionObject>(hrgn1, Kind::Region);
  auto b = LookupAs<RegionObject>(hrgn2, Kind::Region);
  if (!a || !b) return FALSE;
  if (a->bands.size() != b->bands.size()) return FALSE;
  for (std::size_t i = 0; i < a->bands.size(); ++i)
    if (a->bands[i].top != b->bands[i].top || a->bands[i].bottom != b->bands[i].bottom || a->bands[i].spans != b->bands[i].spans)
      return FALSE;
  return TRUE;
}

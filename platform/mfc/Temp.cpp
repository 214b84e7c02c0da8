#include "platform/mfc/Temp.h"

#include <map>
#include <utility>

namespace bp::mfc {
namespace {

struct Entry {
  CObject* object = nullptr;
  void (*release)(CObject*) = nullptr;
};

struct Table {
  std::map<std::pair<TempKind, const void*>, Entry> entries;
  void Clear() {
    auto old = std::move(entries);
    entries.clear();
    for (auto& [key, e] : old) e.release(e.object);
  }
  ~Table() { Clear(); }
};

Table& ThisThread() {
  thread_local Table table;
  return table;
}

}  // namespace

CObject* TempLookup(TempKind kind, const void* handle, CObject* (*make)(const void*), void (*release)(CObject*)) {
  Table& t = ThisThread();
  auto [it, fresh] = t.entries.try_emplace({kind, handle});
  if (fresh) it->second = Entry{make(handle), release};
  return it->second.object;
}

void PurgeTemps() { ThisThread().Clear(); }

namespace {
thread_local int t_loopDepth = 0;
}  // namespace

LoopScope::LoopScope() : m_depth(++t_loopDepth) {}
LoopScope::~LoopScope() { --t_loopDepth; }

int TempCount() { return static_cast<int>(ThisThread().entries.size()); }

}  // namespace bp::mfc

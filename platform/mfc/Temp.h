// Temporary wrappers: FromHandle on a handle that no permanent object owns gives a wrapper kept
// in a per-thread table. A temporary never owns its handle; the tables are emptied at the message
// loop's idle points (and at thread exit), so a pointer from FromHandle is good until the current
// message has been handled, as in the framework.
#pragma once
#include "platform/mfc/Object.h"

namespace bp::mfc {

enum class TempKind { kWnd, kDC, kGdiObject, kBitmap, kFont };

// Finds or makes the temporary of `kind` for `handle` (never null). `make` builds the wrapper;
// `release` detaches the handle from it and deletes it.
CObject* TempLookup(TempKind kind, const void* handle, CObject* (*make)(const void*), void (*release)(CObject*));
// Deletes every temporary of the calling thread.
void PurgeTemps();
// The framework's message loops (CWinApp::Run, CDialog::DoModal) mark themselves with this, and
// purge at their idle points only when they are the outermost one: a nested loop runs inside a
// handler that may still hold temporaries.
class LoopScope {
 public:
  LoopScope();
  ~LoopScope();
  LoopScope(const LoopScope&) = delete;
  LoopScope& operator=(const LoopScope&) = delete;
  bool Outermost() const { return m_depth == 1; }

 private:
  int m_depth;
};
// How many temporaries the calling thread holds (for tests).
int TempCount();

}  // namespace bp::mfc

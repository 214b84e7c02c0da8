// The skin bitmaps: 129 the report window, 130 the close button, 131 the send button,
// 132 and 133 the progress track and fill.
#pragma once
#include "platform/win32/gdi/surface.h"

namespace bp::resgen {
gdi::Surface Window129();
gdi::Surface CloseButton130(const gdi::Surface& window129);
gdi::Surface SendButton131();
gdi::Surface Track132();
gdi::Surface Fill133();
}  // namespace bp::resgen

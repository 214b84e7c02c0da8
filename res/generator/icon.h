// Icon 128: a green document sheet with a red round badge bearing a white cross at its lower
// right, drawn at 16, 32 and 48 pixels with alpha.
#pragma once
#include <vector>

#include "platform/win32/gdi/objects.h"

namespace bp::resgen {
std::vector<gdi::IconImage> AppIcon128();
}

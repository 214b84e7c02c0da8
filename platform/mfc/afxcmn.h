// The framework's common-control classes.
#pragma once
#include "platform/mfc/ImageList.h"
#include "platform/mfc/ProgressCtrl.h"
#include "platform/mfc/ToolTipCtrl.h"

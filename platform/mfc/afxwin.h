// The framework subset the program is written against (one include for all of it): CString,
// run-time classes, message maps, CWnd, CDialog and DDX_Control, CButton, CStatic, the GDI
// wrappers, the common-control classes and CWinApp, over the Win32-shaped platform.
#pragma once
#include "platform/win32/windows.h"
#include "platform/mfc/Button.h"
#include "platform/mfc/CmdTarget.h"
#include "platform/mfc/DataExchange.h"
#include "platform/mfc/Dc.h"
#include "platform/mfc/Dialog.h"
#include "platform/mfc/GdiObject.h"
#include "platform/mfc/Geometry.h"
#include "platform/mfc/Object.h"
#include "platform/mfc/String.h"
#include "platform/mfc/WinApp.h"
#include "platform/mfc/Wnd.h"
#include "platform/mfc/afxcmn.h"

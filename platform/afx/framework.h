// The class framework in one include: application, windows, dialogs,
// message maps, data exchange, control wrappers, strings and message boxes.
#pragma once

#include "platform/afx/controls.h"
#include "platform/afx/cstring.h"
#include "platform/afx/data_exchange.h"
#include "platform/afx/dialog.h"
#include "platform/afx/file_dialog.h"
#include "platform/afx/message_map.h"
#include "platform/afx/module_state.h"
#include "platform/afx/win_app.h"
#include "platform/afx/wnd.h"
#include "platform/win32/resources.h"
#include "platform/win32/types.h"
#include "platform/win32/user.h"

// The framework's spelling of text types.
using TCHAR = WCHAR;
using LPTSTR = LPWSTR;
using LPCTSTR = LPCWSTR;
#ifndef _T
#define _T(quote) TEXT(quote)
#endif
#ifndef afx_msg
#define afx_msg // marks a handler named in a message map
#endif

#pragma once

// windows.h as the window layer's Win32 half includes it: UTF-16 (W) functions, no min/max
// macros, and none of the A/W macros that would rename the layer's own members.
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#undef GetDlgItemText
#undef SetDlgItemText

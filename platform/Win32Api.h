#pragma once

// The Windows headers as this program includes them, in one place and after every header of
// our own: the UTF-16 (W) functions, no min/max macros, and none of the A/W macros that would
// rename members of our own classes (CTemplateDialog::GetDlgItemText).
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
#include <objbase.h>
#include <shellapi.h>

#undef GetDlgItemText
#undef SetDlgItemText

// Identifiers of the dialogs, icon and controls. Shared by the Windows resource script and
// the program, so it stays plain preprocessor definitions.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_MAIN 102
#define IDR_MAINFRAME 128

#define IDM_ABOUTBOX 0x0010

#define IDC_CALC 1000
#define IDC_PATH 1002
#define IDC_BROWSE 1003
#define IDC_MD5 1004
#define IDC_ABOUT 1005
#define IDC_QUERY 1006
#define IDC_PROGRESS 1010
#define IDC_SITE_LINK 1014
#define IDC_FILE_SIZE 1016
#define IDC_FILE_NAME 1017
#define IDC_PRODUCT_NAME 1018
#define IDC_COMPANY 1019
#define IDC_PRODUCT_VERSION 1020
#define IDC_DESCRIPTION 1021

#ifndef IDOK
#define IDOK 1
#endif
#ifndef IDCANCEL
#define IDCANCEL 2
#endif
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The few Windows constants the resource script uses, so a cross resource compiler without
// the Windows headers can build it for the test.
#define WS_POPUP 0x80000000L
#define WS_VISIBLE 0x10000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_SYSMENU 0x00080000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define WS_CHILD 0x40000000L
#define DS_MODALFRAME 0x80L
#define DS_SETFONT 0x40L
#define WS_EX_ACCEPTFILES 0x10L
#define WS_EX_APPWINDOW 0x40000L
#define ES_AUTOHSCROLL 0x80L
#define ES_READONLY 0x800L
#define SS_NOPREFIX 0x80L
#define LANG_CHINESE 0x04
#define SUBLANG_CHINESE_SIMPLIFIED 0x02

// The few Windows constants the resource script uses, so a cross resource compiler without
// the Windows headers can build it for the test.
#define LANG_CHINESE 0x04
#define SUBLANG_CHINESE_SIMPLIFIED 0x02

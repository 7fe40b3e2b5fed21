#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The window style bits the dialog builder and the controls act on, with their Windows values.
namespace Style {
constexpr std::uint32_t kVisible = 0x10000000;
constexpr std::uint32_t kBorder = 0x00800000;
constexpr std::uint32_t kTabStop = 0x00010000;
constexpr std::uint32_t kMinimizeBox = 0x00020000;  // on a top-level window
constexpr std::uint32_t kExAppWindow = 0x00040000;
constexpr std::uint32_t kExAcceptFiles = 0x00000010;
constexpr std::uint32_t kButtonDefault = 0x00000001;   // BS_DEFPUSHBUTTON
constexpr std::uint32_t kButtonGroupBox = 0x00000007;  // BS_GROUPBOX
constexpr std::uint32_t kButtonTypeMask = 0x0000000F;
constexpr std::uint32_t kEditReadOnly = 0x00000800;
constexpr std::uint32_t kStaticTypeMask = 0x0000001F;
constexpr std::uint32_t kStaticCenter = 0x00000001;       // SS_CENTER
constexpr std::uint32_t kStaticRight = 0x00000002;        // SS_RIGHT
constexpr std::uint32_t kStaticIcon = 0x00000003;         // SS_ICON (a type, not a bit)
constexpr std::uint32_t kStaticNotify = 0x00000100;       // SS_NOTIFY
constexpr std::uint32_t kStaticCenterImage = 0x00000200;  // SS_CENTERIMAGE
}  // namespace Style

// The kinds of control the templates hold.
enum class ControlClass {
    Button,
    Edit,
    Static,
    Progress,
};

// One control of a dialog template: what the Windows resource compiler would store.
struct DialogItemTemplate {
    int id;  // IDC_STATIC (-1) for labels nothing addresses
    ControlClass controlClass;
    std::string text;  // UTF-8; an icon static names its icon resource instead
    std::uint32_t style;
    int x, y, cx, cy;  // dialog units
};

struct DialogTemplate {
    int id;
    std::uint32_t style;
    std::uint32_t exStyle;
    int cx, cy;  // dialog units
    std::string title;
    std::string fontName;
    int pointSize;
    std::vector<DialogItemTemplate> items;  // in template order: creation and tab order
};

// The two dialogs of the program.
const DialogTemplate& MainDialogTemplate();
const DialogTemplate& AboutDialogTemplate();

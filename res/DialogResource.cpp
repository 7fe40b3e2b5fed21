#include "res/DialogResource.h"

#include "platform/TextCodec.h"

#include <cstdint>
#include <string>

namespace {

constexpr std::uint32_t kSetFont = 0x40;  // DS_SETFONT: the font fields follow the title

class CWriter {
public:
    std::vector<unsigned char> bytes;

    void Word(std::uint32_t value)
    {
        bytes.push_back(static_cast<unsigned char>(value));
        bytes.push_back(static_cast<unsigned char>(value >> 8));
    }
    void Dword(std::uint32_t value)
    {
        Word(value & 0xFFFF);
        Word(value >> 16);
    }
    void Align() { bytes.resize((bytes.size() + 3) / 4 * 4, 0); }
    // NUL-terminated UTF-16.
    void Text(const std::string& text)
    {
        for (const char16_t unit : zanfo::Utf8ToUtf16(text))
            Word(unit);
        Word(0);
    }
    // A text, or an ordinal (0xFFFF and the number) for "#N".
    void TextOrOrdinal(const std::string& text)
    {
        if (text.size() > 1 && text[0] == '#') {
            Word(0xFFFF);
            Word(static_cast<std::uint32_t>(std::stoul(text.substr(1))));
        } else {
            Text(text);
        }
    }
};

// The predefined window classes by atom; the progress bar by its class name.
void WriteClass(CWriter& out, ControlClass controlClass)
{
    switch (controlClass) {
    case ControlClass::Button:
        out.Word(0xFFFF), out.Word(0x0080);
        return;
    case ControlClass::Edit:
        out.Word(0xFFFF), out.Word(0x0081);
        return;
    case ControlClass::Static:
        out.Word(0xFFFF), out.Word(0x0082);
        return;
    case ControlClass::Progress:
        out.Text("msctls_progress32");
        return;
    }
}

}  // namespace

std::vector<unsigned char> BuildDialogResource(const DialogTemplate& dialog)
{
    CWriter out;
    out.Word(1);       // dlgVer
    out.Word(0xFFFF);  // signature: the extended layout
    out.Dword(0);      // helpID
    out.Dword(dialog.exStyle);
    out.Dword(dialog.style | kSetFont);
    out.Word(static_cast<std::uint32_t>(dialog.items.size()));
    for (const int value : {0, 0, dialog.cx, dialog.cy})
        out.Word(static_cast<std::uint32_t>(value));
    out.Word(0);  // no menu
    out.Word(0);  // the default dialog class
    out.Text(dialog.title);
    out.Word(static_cast<std::uint32_t>(dialog.pointSize));
    out.Word(0);       // weight: as the template gives it (none: the face's own)
    out.Word(0x0100);  // not italic; DEFAULT_CHARSET
    out.Text(dialog.fontName);
    for (const DialogItemTemplate& item : dialog.items) {
        out.Align();
        out.Dword(0);  // helpID
        out.Dword(0);  // exStyle
        out.Dword(item.style);
        for (const int value : {item.x, item.y, item.cx, item.cy})
            out.Word(static_cast<std::uint32_t>(value));
        out.Dword(static_cast<std::uint32_t>(item.id));
        WriteClass(out, item.controlClass);
        out.TextOrOrdinal(item.text);
        out.Word(0);  // no creation data
    }
    return out.bytes;
}

#pragma once

#include <optional>
#include <string>

// The text conventions of md5sum, shared by the lines we write and the lists we read.
namespace md5sum {

// A name as md5sum writes it in a line: "\\", "\n" and "\r" spelled as escapes. `escaped`
// tells whether anything was, in which case the line must start with a backslash.
std::string EscapeName(const std::string& name, bool& escaped);
// The way back, for a line that started with a backslash; nullopt for an unknown escape.
std::optional<std::string> UnescapeName(const std::string& text);

// A name for a message on the terminal, quoted the way md5sum quotes it (shell quoting, with
// control characters as $'\ooo'), so that no control character reaches the terminal.
std::string QuoteForTerminal(const std::string& name);

// A value on one line that cannot drive a terminal: C0 controls, DEL, C1 controls and the
// backslash itself become \\, \n, \r, \t or \xNN.
std::string EscapeControls(const std::string& value);

// One line of a checksum list: "DIGEST  NAME", "DIGEST *NAME", "DIGEST NAME" (reversed BSD
// style) or "MD5 (NAME) = DIGEST", each optionally escaped. The digest comes back as read.
struct ListedFile {
    std::string digest;
    std::string name;
};
class CListParser {
public:
    std::optional<ListedFile> Parse(const std::string& line);

private:
    int m_reversedBsd = -1;  // unknown until the first two-field line tells
};

}  // namespace md5sum

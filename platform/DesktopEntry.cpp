#include "platform/DesktopEntry.h"

#include "platform/FileAccess.h"

#include <sstream>
#include <string>

namespace zanfo {
namespace {

// The general escapes of a key file's string values: \s \n \t \r \\; any other stays as written.
std::string UnescapeString(const std::string& value)
{
    static const std::string kEscaped = "sntr\\", kMeant = " \n\t\r\\";
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const std::size_t escape = value[i] == '\\' && i + 1 < value.size() ? kEscaped.find(value[i + 1]) : std::string::npos;
        if (escape == std::string::npos) {
            out += value[i];
        } else {
            out += kMeant[escape];
            ++i;
        }
    }
    return out;
}

bool IsFieldCodeOnly(const std::string& argument)
{
    return argument.size() == 2 && argument[0] == '%' && argument[1] != '%';
}

std::string ResolvePercents(const std::string& argument)
{
    std::string out;
    for (std::size_t i = 0; i < argument.size(); ++i) {
        out += argument[i];
        if (argument[i] == '%' && i + 1 < argument.size() && argument[i + 1] == '%')
            ++i;
    }
    return out;
}

// Key files are small; anything larger than this is no key file of ours.
constexpr std::uint64_t kMaxKeyFileSize = 1 << 20;

// The whole file, when it is a regular file of sane size. A FIFO or a device found where a key
// file should be is never opened in a way that blocks, nor read without end.
std::optional<std::string> ReadSmallRegularFile(const std::string& path)
{
    const OpenedFile file = OpenRegularFile(path);
    if (!file.stream)
        return std::nullopt;
    std::string content(file.size <= kMaxKeyFileSize ? file.size : 0, '\0');
    const bool read =
        file.size <= kMaxKeyFileSize && ReadAt(file.stream, 0, content.size(), reinterpret_cast<unsigned char*>(content.data()));
    std::fclose(file.stream);
    return read ? std::optional<std::string>(content) : std::nullopt;
}

}  // namespace

std::optional<std::string> ReadKeyFileValue(const std::string& path, const std::string& group, const std::string& key)
{
    const std::optional<std::string> content = ReadSmallRegularFile(path);
    if (!content)
        return std::nullopt;
    std::istringstream in(*content);
    bool inGroup = false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '[') {
            inGroup = line == "[" + group + "]";
            continue;
        }
        if (!inGroup || line.compare(0, key.size(), key) != 0)
            continue;
        // "Key=value" or "Key = value"; "Key[de]=" and "KeyMore=" are other keys.
        const std::size_t equals = line.find_first_not_of(' ', key.size());
        if (equals == std::string::npos || line[equals] != '=')
            continue;
        const std::size_t valueStart = line.find_first_not_of(' ', equals + 1);
        return valueStart == std::string::npos ? std::string() : line.substr(valueStart);
    }
    return std::nullopt;
}

std::optional<std::string> ReadDesktopExec(const std::string& desktopFilePath)
{
    const std::optional<std::string> exec = ReadKeyFileValue(desktopFilePath, "Desktop Entry", "Exec");
    return exec ? std::optional<std::string>(UnescapeString(*exec)) : std::nullopt;
}

std::optional<std::vector<std::string>> SplitDesktopExec(const std::string& exec)
{
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false, quoted = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else if (c == '\\' && i + 1 < exec.size() && std::string("\"`$\\").find(exec[i + 1]) != std::string::npos) {
                current += exec[++i];
            } else {
                current += c;
            }
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inArgument && !IsFieldCodeOnly(current))
                arguments.push_back(ResolvePercents(current));
            current.clear();
            inArgument = false;
        } else {
            inArgument = true;
            if (c == '"')
                quoted = true;
            else
                current += c;
        }
    }
    if (quoted)
        return std::nullopt;
    if (inArgument && !IsFieldCodeOnly(current))
        arguments.push_back(ResolvePercents(current));
    return arguments;
}

}  // namespace zanfo

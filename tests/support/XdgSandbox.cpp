#include "tests/support/XdgSandbox.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

CXdgSandbox::CXdgSandbox()
{
    const std::pair<const char*, const char*> folders[] = {{"XDG_CONFIG_HOME", "config-home"},
                                                           {"XDG_CONFIG_DIRS", "config-dir"},
                                                           {"XDG_DATA_HOME", "data-home"},
                                                           {"XDG_DATA_DIRS", "data-dir"}};
    for (const auto& [variable, folder] : folders) {
        fs::create_directories(File(folder));
        setenv(variable, File(folder).c_str(), 1);
    }
    unsetenv("XDG_CURRENT_DESKTOP");
    fs::create_directories(File("bin"));
    fs::create_directories(File("tools"));
    for (const std::string tool : {"cat", "mv", "sleep", "touch"})
        fs::create_symlink("/bin/" + tool, File("tools/" + tool));
    setenv("PATH", (File("bin") + ":" + File("tools")).c_str(), 1);
}

std::string CXdgSandbox::Write(const std::string& name, const std::string& content, bool executable)
{
    const std::string path = File(name);
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::trunc) << content;
    if (executable)
        fs::permissions(path, fs::perms::owner_all);
    return path;
}

std::string CXdgSandbox::Script(const std::string& name, const std::string& body)
{
    return Write("bin/" + name, "#!/bin/sh\n" + body + "\n", true);
}

std::string CXdgSandbox::RecordingScript(const std::string& name, const std::string& record, const std::string& then)
{
    // Written under another name and renamed, so a reader never sees half a record.
    return Script(name, "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > '" + record + ".part' && mv '" + record + ".part' '" + record +
                            "'\n" + then);
}

std::optional<std::vector<std::string>> WaitForRecord(const std::string& path)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!fs::exists(path)) {
        if (std::chrono::steady_clock::now() > deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> parts;
    for (std::string part; std::getline(in, part, '\0');)
        parts.push_back(part);
    return parts;
}

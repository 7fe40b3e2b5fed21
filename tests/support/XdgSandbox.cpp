#include "XdgSandbox.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

CXdgSandbox::CXdgSandbox()
{
    for (const std::string& dir : {ConfigHome(), ConfigDir(), DataHome(), DataDir(), BinDir()})
        std::filesystem::create_directories(dir);
    SetEnv("XDG_CONFIG_HOME", ConfigHome());
    SetEnv("XDG_CONFIG_DIRS", ConfigDir());
    SetEnv("XDG_DATA_HOME", DataHome());
    SetEnv("XDG_DATA_DIRS", DataDir());
    UnsetEnv("XDG_CURRENT_DESKTOP");
    // Our scripts, then only the few tools they use: no program of the machine (its own
    // xdg-open or browser above all) can be found by accident.
    const std::string tools = m_dir.File("tools");
    std::filesystem::create_directories(tools);
    for (const char* tool : {"cat", "mv", "sleep", "touch"})
        std::filesystem::create_symlink(std::string("/bin/") + tool, tools + "/" + tool);
    SetEnv("PATH", BinDir() + ":" + tools);
}

CXdgSandbox::~CXdgSandbox()
{
    for (const auto& [name, value] : m_saved) {
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
}

void CXdgSandbox::SetEnv(const std::string& name, const std::string& value)
{
    if (!m_saved.count(name)) {
        const char* old = std::getenv(name.c_str());
        m_saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    setenv(name.c_str(), value.c_str(), 1);
}

void CXdgSandbox::UnsetEnv(const std::string& name)
{
    SetEnv(name, "");
    unsetenv(name.c_str());
}

void CXdgSandbox::Write(const std::string& path, const std::string& content, bool executable)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::trunc) << content;
    if (executable)
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

std::string CXdgSandbox::Script(const std::string& name, const std::string& body)
{
    const std::string path = BinDir() + "/" + name;
    Write(path, "#!/bin/sh\n" + body + "\n", true);
    return path;
}

std::string CXdgSandbox::RecordingScript(const std::string& name, const std::string& record, int exitStatus)
{
    // Written to a temporary name and renamed, so a reader never sees half a record.
    return Script(name, "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > '" + record + ".part' && mv '" + record +
                            ".part' '" + record + "'\nexit " + std::to_string(exitStatus));
}

std::optional<std::vector<std::string>> WaitForRecord(const std::string& path)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!std::filesystem::exists(path)) {
        if (std::chrono::steady_clock::now() > deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(path, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = content.find('\0', start)) != std::string::npos; start = end + 1)
        parts.push_back(content.substr(start, end - start));
    return parts;
}

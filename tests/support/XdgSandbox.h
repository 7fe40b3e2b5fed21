#pragma once

#include "TempDir.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

// A private XDG world for one test: config and data folders and a bin folder of our own on
// PATH, pointed to by the XDG variables for as long as the object lives; the environment is
// put back afterwards.
class CXdgSandbox {
public:
    CXdgSandbox();
    ~CXdgSandbox();
    CXdgSandbox(const CXdgSandbox&) = delete;
    CXdgSandbox& operator=(const CXdgSandbox&) = delete;

    std::string ConfigHome() const { return m_dir.File("config-home"); }
    std::string ConfigDir() const { return m_dir.File("config-dir"); }
    std::string DataHome() const { return m_dir.File("data-home"); }
    std::string DataDir() const { return m_dir.File("data-dir"); }
    std::string BinDir() const { return m_dir.File("bin"); }
    std::string File(const std::string& name) const { return m_dir.File(name); }

    // Writes a file (creating its folders), optionally executable.
    void Write(const std::string& path, const std::string& content, bool executable = false);
    // An executable shell script in the bin folder; returns its path.
    std::string Script(const std::string& name, const std::string& body);
    // A script that writes its arguments, NUL-terminated, to the file `record` when run.
    std::string RecordingScript(const std::string& name, const std::string& record, int exitStatus = 0);

    void SetEnv(const std::string& name, const std::string& value);
    void UnsetEnv(const std::string& name);

private:
    CTempDir m_dir;
    std::map<std::string, std::optional<std::string>> m_saved;
};

// Waits up to a generous deadline for a file to appear and returns its NUL-separated parts.
std::optional<std::vector<std::string>> WaitForRecord(const std::string& path);

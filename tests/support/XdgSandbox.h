#pragma once

#include "TempDir.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

// A private XDG world for one test: XDG_CONFIG_HOME, XDG_CONFIG_DIRS, XDG_DATA_HOME and
// XDG_DATA_DIRS name its folders config-home, config-dir, data-home and data-dir, and PATH its
// bin folder and a few tools, so that nothing of the machine (its xdg-open or browser above
// all) is found by accident. The environment is put back when it goes.
class CXdgSandbox : public CTempDir {
public:
    CXdgSandbox();
    ~CXdgSandbox();

    // Writes the file `name` inside the sandbox, with its folders; returns its path.
    std::string Write(const std::string& name, const std::string& content, bool executable = false);
    // bin/NAME, a shell script with this body.
    std::string Script(const std::string& name, const std::string& body);
    // bin/NAME, which writes its arguments, each ended by a NUL, to `record`, then runs `then`.
    std::string RecordingScript(const std::string& name, const std::string& record, const std::string& then = "exit 0");
    // Sets a variable for the sandbox's lifetime; a null value unsets it.
    void SetEnv(const std::string& name, const char* value);

private:
    std::map<std::string, std::optional<std::string>> m_saved;
};

// Waits up to a generous deadline for a record to appear and returns its NUL-ended parts.
std::optional<std::vector<std::string>> WaitForRecord(const std::string& path);

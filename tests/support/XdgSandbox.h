#pragma once

#include "tests/support/TestFiles.h"

#include <optional>
#include <string>
#include <vector>

// A private XDG world for one test: XDG_CONFIG_HOME, XDG_CONFIG_DIRS, XDG_DATA_HOME and
// XDG_DATA_DIRS name its folders config-home, config-dir, data-home and data-dir, and PATH its
// bin folder and a few tools, so that nothing of the machine (its xdg-open or browser above
// all) is found by accident. Every sandbox sets all of them, so none is put back afterwards.
class CXdgSandbox : public CTempDir {
public:
    CXdgSandbox();

    // Writes the file `name` inside the sandbox, with its folders; returns its path.
    std::string Write(const std::string& name, const std::string& content, bool executable = false);
    // bin/NAME, a shell script with this body.
    std::string Script(const std::string& name, const std::string& body);
    // bin/NAME, which writes its arguments, each ended by a NUL, to `record`, then runs `then`.
    std::string RecordingScript(const std::string& name, const std::string& record, const std::string& then = "exit 0");
};

// Waits up to a generous deadline for a record to appear and returns its NUL-ended parts.
std::optional<std::vector<std::string>> WaitForRecord(const std::string& path);

#pragma once

// Starting programs on POSIX systems (built there only): the URL launcher's xdg-open and browser.

#include <chrono>
#include <string>
#include <vector>

namespace zanfo {

// How a program run by RunAndWait ended.
struct ProcessOutcome {
    int startError = 0;         // errno of a failed start; 0 when the program was started
    bool exited = false;        // it exited by itself within the time allowed
    int exitStatus = 0;         // its exit status when it exited
    bool stillRunning = false;  // it was still running when the time ran out
};

// Runs argv[0] (searched on PATH) with the other entries as its arguments, exactly as given:
// no shell ever sees them. Standard input is /dev/null. Waits at most `wait` for it to exit;
// one that runs longer is left running and reaped in the background.
ProcessOutcome RunAndWait(const std::vector<std::string>& argv, std::chrono::milliseconds wait);

// Starts argv[0] (searched on PATH) detached from this process and does not wait for it.
// Returns 0, or the errno of the failed start (ENOENT, EACCES, ENOEXEC, ...).
int StartDetached(const std::vector<std::string>& argv);

}  // namespace zanfo

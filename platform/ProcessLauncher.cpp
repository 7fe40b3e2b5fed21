#include "platform/ProcessLauncher.h"

#include <cerrno>
#include <cstdlib>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zanfo {
namespace {

// The program a command names: a path as it stands, a bare name looked up on PATH. Our own
// search rather than execvp's, which would hand a file that is no program to /bin/sh.
std::string ResolveProgram(const std::string& name)
{
    if (name.empty() || name.find('/') != std::string::npos)
        return name;
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::string firstFound;
    for (std::size_t start = 0, end = 0; start <= dirs.size(); start = end + 1) {
        end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        const std::string candidate = (end > start ? dirs.substr(start, end - start) : std::string(".")) + "/" + name;
        struct stat info;
        if (::stat(candidate.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;  // a folder of that name is no program
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (firstFound.empty())
            firstFound = candidate;  // exists but may not be run: exec will say why
    }
    return firstFound.empty() ? name : firstFound;
}

// Everything the child needs, prepared before fork: after it only async-signal-safe calls.
struct PreparedCommand {
    std::string program;
    bool found;
    std::vector<std::string> strings;
    std::vector<char*> argv;

    explicit PreparedCommand(const std::vector<std::string>& args)
        : program(args.empty() ? std::string() : ResolveProgram(args[0]))
        , found(program.find('/') != std::string::npos)
        , strings(args)
    {
        for (std::string& arg : strings)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
    }
};

// In a child: standard input from /dev/null, a session of its own, then exec. On failure the
// errno goes up the pipe, whose write end otherwise closes on exec.
[[noreturn]] void ExecInChild(const PreparedCommand& command, int errorPipe)
{
    const int devNull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (devNull >= 0)
        ::dup2(devNull, STDIN_FILENO);
    ::setsid();
    if (command.found)
        ::execv(command.program.c_str(), command.argv.data());
    else
        errno = ENOENT;
    const int error = errno;
    (void)!::write(errorPipe, &error, sizeof error);
    ::_exit(127);
}

// Reads the errno an exec failure sent, or 0 once the pipe closes on a successful exec.
int ReadStartError(int errorPipe)
{
    int error = 0;
    ssize_t count;
    do {
        count = ::read(errorPipe, &error, sizeof error);
    } while (count < 0 && errno == EINTR);
    ::close(errorPipe);
    return count == static_cast<ssize_t>(sizeof error) ? error : 0;
}

// Forks a child that execs the command (or, with detach, a grandchild that does while the child
// exits at once, so nothing is left to reap). Returns the child's pid, or -errno.
pid_t Spawn(const PreparedCommand& command, bool detach, int& startError)
{
    startError = 0;
    int pipeEnds[2];
    if (command.argv.size() < 2 || ::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        startError = command.argv.size() < 2 ? ENOENT : errno;
        return -1;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        startError = errno;
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        return -1;
    }
    if (child == 0) {
        ::close(pipeEnds[0]);
        if (detach) {
            const pid_t grandchild = ::fork();
            if (grandchild < 0) {
                const int error = errno;
                (void)!::write(pipeEnds[1], &error, sizeof error);
                ::_exit(127);
            }
            if (grandchild > 0)
                ::_exit(0);
        }
        ExecInChild(command, pipeEnds[1]);
    }
    ::close(pipeEnds[1]);
    startError = ReadStartError(pipeEnds[0]);
    return child;
}

// With SIGCHLD ignored (a disposition a parent can pass on through exec) the kernel reaps our
// children itself and waitpid can never report how they ended. We reap our own children.
void ReapOwnChildren()
{
    struct sigaction current;
    if (::sigaction(SIGCHLD, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) && current.sa_handler == SIG_IGN)
        ::signal(SIGCHLD, SIG_DFL);
}

}  // namespace

ProcessOutcome RunAndWait(const std::vector<std::string>& argv, std::chrono::milliseconds wait)
{
    ReapOwnChildren();
    const PreparedCommand command(argv);
    ProcessOutcome outcome;
    const pid_t child = Spawn(command, false, outcome.startError);
    if (child < 0)
        return outcome;

    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) {
            if (outcome.startError == 0) {
                outcome.exited = WIFEXITED(status);
                outcome.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            return outcome;
        }
        if (done < 0 && errno != EINTR)
            return outcome;
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    outcome.stillRunning = true;
    std::thread([child] {
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    }).detach();
    return outcome;
}

int StartDetached(const std::vector<std::string>& argv)
{
    ReapOwnChildren();
    const PreparedCommand command(argv);
    int startError = 0;
    const pid_t child = Spawn(command, true, startError);
    if (child > 0) {
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    }
    return startError;
}

}  // namespace zanfo

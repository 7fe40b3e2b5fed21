#include "platform/ReadInterrupt.h"

#include <cstring>
#include <mutex>

#include <pthread.h>
#include <signal.h>

namespace zanfo {
namespace {

// SIGURG: ignored by default, so one that comes before the handler is there does no harm.
constexpr int kInterruptSignal = SIGURG;

void DoNothing(int) {}

}  // namespace

ReadingThread CurrentReadingThread()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action {};
        action.sa_handler = &DoNothing;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;  // no SA_RESTART: the interrupted read fails with EINTR
        sigaction(kInterruptSignal, &action, nullptr);
    });
    static_assert(sizeof(pthread_t) <= sizeof(ReadingThread), "a thread must fit");
    const pthread_t self = pthread_self();
    ReadingThread thread = 0;
    std::memcpy(&thread, &self, sizeof self);
    return thread;
}

void InterruptRead(ReadingThread thread)
{
    pthread_t target;
    std::memcpy(&target, &thread, sizeof target);
    pthread_kill(target, kInterruptSignal);
}

}  // namespace zanfo

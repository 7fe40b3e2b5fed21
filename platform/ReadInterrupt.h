#pragma once

#include <cstdint>

// A blocking read, interrupted from another thread: for a Stop that must not wait for a read
// that may never return (a network share that went away, a dying disk).
namespace zanfo {

// A thread, as InterruptRead knows it.
using ReadingThread = std::uint64_t;
ReadingThread CurrentReadingThread();

// Makes a read the thread is blocked in return with a failure: EINTR on POSIX (a signal whose
// handler does not restart the call), the read cancelled on Windows (CancelSynchronousIo).
// Harmless when the thread is in no read; one about to start misses it, so callers repeat it
// until the read has returned. A read the system will not interrupt (a hard NFS mount) stays.
void InterruptRead(ReadingThread thread);

}  // namespace zanfo

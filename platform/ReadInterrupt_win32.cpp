#include "platform/ReadInterrupt.h"

#include "platform/Win32Api.h"

namespace zanfo {

ReadingThread CurrentReadingThread()
{
    return GetCurrentThreadId();
}

void InterruptRead(ReadingThread thread)
{
    if (const HANDLE handle = OpenThread(THREAD_TERMINATE, FALSE, static_cast<DWORD>(thread))) {
        CancelSynchronousIo(handle);
        CloseHandle(handle);
    }
}

}  // namespace zanfo

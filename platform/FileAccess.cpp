#include "platform/FileAccess.h"

#include <cerrno>

namespace zanfo {

OpenFailure FailureOf(int error)
{
    switch (error) {
    case 0:
        return OpenFailure::None;
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return OpenFailure::NotFound;
    case EACCES:
    case EPERM:
        return OpenFailure::PermissionDenied;
    default:
        return OpenFailure::Other;
    }
}

bool PathExists(const std::string& utf8Path)
{
    return PathError(utf8Path) == 0;
}

OpenedFile OpenForReading(const std::string& utf8Path)
{
    const OpenedHandle opened = OpenHandleForReading(utf8Path);
    if (opened.handle == kNoFile)
        return {nullptr, 0, opened.failure, opened.error};
    std::FILE* stream = StreamOfHandle(opened.handle);
    if (!stream)
        return {nullptr, 0, FailureOf(EMFILE), EMFILE};
    return {stream, opened.size, opened.failure, 0};
}

}  // namespace zanfo

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

}  // namespace zanfo

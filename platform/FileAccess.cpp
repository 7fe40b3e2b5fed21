#include "platform/FileAccess.h"

namespace zanfo {

bool PathExists(const std::string& utf8Path)
{
    OpenFailure ignored;
    return PathExists(utf8Path, ignored);
}

}  // namespace zanfo

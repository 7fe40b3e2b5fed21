#include "platform/Console.h"

#include <iostream>

#include <unistd.h>

namespace zanfo {

std::vector<std::string> ProgramArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

struct CStandardStreams::Native {};

CStandardStreams::CStandardStreams() = default;

CStandardStreams::~CStandardStreams()
{
    std::cout.flush();
    std::cerr.flush();
}

std::ostream& CStandardStreams::Out()
{
    return std::cout;
}

std::ostream& CStandardStreams::Err()
{
    return std::cerr;
}

bool CStandardStreams::ErrIsTerminal() const
{
    return ::isatty(2) != 0;
}

bool CStandardStreams::ErrUnderstandsEscapes() const
{
    return true;
}

}  // namespace zanfo

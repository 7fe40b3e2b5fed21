#include "platform/Console.h"
#include "tools/cli/CliCommand.h"

int main(int argc, char** argv)
{
    zanfo::CStandardStreams streams;
    return RunCli(zanfo::ProgramArguments(argc, argv), streams.Out(), streams.Err(), streams.ErrIsTerminal(),
                  streams.ErrUnderstandsEscapes());
}

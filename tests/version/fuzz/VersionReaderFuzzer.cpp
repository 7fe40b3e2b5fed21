// libFuzzer entry for the version reader: the bytes are tried both as a version block handed
// straight to the block parser and as a whole file handed to ReadVersionStrings.
#include "VersionBlock.h"
#include "VersionStrings.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

const std::string& ScratchFile()
{
    static const std::string path = [] {
        std::string name = (std::filesystem::temp_directory_path() / ("zanfo-version-fuzz-" + std::to_string(getpid()))).string();
        std::atexit([] { std::remove(ScratchFile().c_str()); });
        return name;
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const CVersionBlock block(CBoundedBuffer(data, size));
    std::string text;
    CBoundedBuffer value;
    block.QueryText("\\StringFileInfo\\080404b0\\FileVersion", text);
    block.QueryText("StringFileInfo\\040904E4\\ProductName", text);
    block.QueryBinary("\\VarFileInfo\\Translation", value);
    block.QueryBinary("\\", value);

    if (std::FILE* file = std::fopen(ScratchFile().c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
        std::string description, company, product, fileVersion;
        ReadVersionStrings(ScratchFile(), description, company, product, fileVersion);
    }
    return 0;
}

// libFuzzer entry for the version reader: the bytes are tried both as a version block handed
// straight to the block parser and as a whole file handed to ReadVersionStrings. A broken
// promise aborts: result 0 means four empty strings, and every string is UTF-8 without NUL.
#include "platform/TextCodec.h"
#include "version/VersionBlock.h"
#include "version/VersionStrings.h"

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

void RequireUtf8WithoutNul(const std::string& text)
{
    for (std::size_t at = 0; at < text.size();) {
        const zanfo::Utf8Character character = zanfo::DecodeUtf8(text, at);
        if (!character.valid || character.point == 0)
            std::abort();
        at += character.length;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const CVersionBlock block(CBoundedBuffer(data, size));
    std::string text;
    CBoundedBuffer value;
    for (const char* path : {"\\StringFileInfo\\080404b0\\FileVersion", "StringFileInfo\\040904E4\\ProductName"}) {
        text.clear();
        block.QueryText(path, text);
        RequireUtf8WithoutNul(text);
    }
    block.QueryBinary("\\VarFileInfo\\Translation", value);
    block.QueryBinary("\\", value);

    if (std::FILE* file = std::fopen(ScratchFile().c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
        std::string strings[4];
        const int result = ReadVersionStrings(ScratchFile(), strings[0], strings[1], strings[2], strings[3]);
        for (const std::string& string : strings) {
            RequireUtf8WithoutNul(string);
            if (result == 0 && !string.empty())
                std::abort();
        }
    }
    return 0;
}

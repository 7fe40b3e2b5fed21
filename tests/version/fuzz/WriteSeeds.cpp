// Writes the fuzzer's seed corpus into the folder named on the command line.
#include "SeedImages.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: version_fuzz_seeds FOLDER\n");
        return 2;
    }
    for (const auto& [name, bytes] : SeedImages()) {
        std::ofstream out(std::string(argv[1]) + "/" + name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            return 1;
    }
    return 0;
}

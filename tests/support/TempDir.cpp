#include "TempDir.h"

#include <filesystem>
#include <random>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

CTempDir::CTempDir()
{
    // A random name, taken only if nobody has it (create_directory reports an existing one).
    std::random_device seed;
    for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
        const fs::path candidate = fs::temp_directory_path() / ("zanfo-test-" + std::to_string(seed()));
        std::error_code error;
        if (fs::create_directory(candidate, error))
            m_path = candidate.u8string();
    }
    if (m_path.empty())
        throw std::runtime_error("cannot create a temporary folder");
}

CTempDir::~CTempDir()
{
    std::error_code ignored;
    fs::permissions(fs::u8path(m_path), fs::perms::owner_all, ignored);
    fs::remove_all(fs::u8path(m_path), ignored);
}

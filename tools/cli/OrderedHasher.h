#pragma once

#include "tools/cli/CliProgressEngine.h"

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>

// What became of one named file: its digest, or why there is none.
struct FileOutcome {
    std::string digest;
    std::string reason;    // the system's words, as md5sum gives them
    bool missing = false;  // the name names nothing
};

// Hashes one name the way md5sum reads it: "-" is standard input; FIFOs, devices and empty
// files are read to their end; a regular file that changes while read gets no digest.
FileOutcome HashNamedFile(CMd5Engine& engine, const std::string& name, bool upperCase);

// Runs `hash` for items 0..count-1 on up to `jobs` threads, each with an engine of its own,
// and hands each outcome to `deliver` on the calling thread in item order. At most 2 x jobs
// outcomes wait, so memory stays bounded by the jobs, whatever the count. With one job all
// runs on the calling thread, through `engine`, which may then show progress.
class COrderedHasher {
public:
    using Hash = std::function<FileOutcome(CCliProgressEngine& engine, std::size_t item)>;
    using Deliver = std::function<void(std::size_t item, const FileOutcome& outcome)>;

    static void Run(std::size_t count, unsigned jobs, CCliProgressEngine& engine, const Hash& hash, const Deliver& deliver);
};

#pragma once

#include <string>
#include <utility>
#include <vector>

// The PE images and version blocks the fuzzer starts from: well-formed files of both kinds and
// the quirks the tests cover, so mutations begin close to every branch of the reader.
std::vector<std::pair<std::string, std::vector<unsigned char>>> SeedImages();

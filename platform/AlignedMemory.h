#pragma once

#include <cstddef>

namespace zanfo {

// `size` bytes starting at a multiple of `alignment` (a power of two that divides `size`), or
// nullptr. Only FreeAligned may release them.
void* AllocateAligned(std::size_t size, std::size_t alignment);
void FreeAligned(void* memory);

}  // namespace zanfo

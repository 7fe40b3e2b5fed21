#include "platform/AlignedMemory.h"

#include <cstdlib>

namespace zanfo {

void* AllocateAligned(std::size_t size, std::size_t alignment)
{
    return std::aligned_alloc(alignment, size);
}

void FreeAligned(void* memory)
{
    std::free(memory);
}

}  // namespace zanfo

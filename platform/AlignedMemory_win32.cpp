#include "platform/AlignedMemory.h"

#include <malloc.h>

namespace zanfo {

// The C runtime of Windows has no aligned_alloc: its own pair instead.
void* AllocateAligned(std::size_t size, std::size_t alignment)
{
    return _aligned_malloc(size, alignment);
}

void FreeAligned(void* memory)
{
    _aligned_free(memory);
}

}  // namespace zanfo

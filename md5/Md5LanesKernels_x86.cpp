// The kernels of an x86-64 build, each compiled for its own instruction set, offered only where
// the processor has that set (CPUID, with the system's support for the wide registers).
#include "md5/Md5Lanes.h"

CMd5Lanes::Kernel Md5LanesSse2();
CMd5Lanes::Kernel Md5LanesAvx2();
CMd5Lanes::Kernel Md5LanesAvx512();

std::vector<CMd5Lanes::Kernel> CMd5Lanes::AvailableKernels()
{
    std::vector<Kernel> kernels;
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f"))
        kernels.push_back(Md5LanesAvx512());
    if (__builtin_cpu_supports("avx2"))
        kernels.push_back(Md5LanesAvx2());
    kernels.push_back(Md5LanesSse2());
    return kernels;
}

// A build without x86 vector intrinsics has no lane kernels: the scalar core hashes alone.
#include "md5/Md5Lanes.h"

std::vector<CMd5Lanes::Kernel> CMd5Lanes::AvailableKernels()
{
    return {};
}

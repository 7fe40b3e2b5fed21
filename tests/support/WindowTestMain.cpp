// main() for window tests: the window system (ctest asks Qt for its offscreen platform), then
// every test.
#include "WindowLayer.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    CWindowSystem windowSystem(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// main() for window tests: the window system (Qt's offscreen platform, also when the build
// lists the tests), then every test.
#include "app/Md5App.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
#ifndef _WIN32
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
#endif
    CWindowSystem windowSystem(argc, argv, CMd5App::Identity());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

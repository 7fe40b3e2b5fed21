#include "app/Md5App.h"

int main(int argc, char** argv)
{
    CMd5App theApp(argc, argv);
    theApp.InitInstance();
    return theApp.ExitInstance();
}

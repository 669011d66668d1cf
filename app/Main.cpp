// CorvaneIXO entry point.
#include "CorvaneIXOApp.h"

CCorvaneIXOApp theApp;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand)
{
    return AfxWinMain(instance, previous, commandLine, showCommand);
}

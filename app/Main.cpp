// CorvaneIXO entry point.
#include "CorvaneApp.h"

CCorvaneApp theApp;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand)
{
    return AfxWinMain(instance, previous, commandLine, showCommand);
}

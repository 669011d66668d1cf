// CorvaneIXO entry point.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    MessageBoxW(nullptr,
                L"CorvaneIXO: the crypto, encoding and framework foundations are built; "
                L"the log-in and the main window follow.",
                L"CorvaneIXO", MB_OK | MB_ICONINFORMATION);
    return 0;
}

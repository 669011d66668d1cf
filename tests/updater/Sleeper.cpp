// A program that only waits, for the tests that end programs by name.
#include <windows.h>

int main()
{
    Sleep(60000);
    return 0;
}

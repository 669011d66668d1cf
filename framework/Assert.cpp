// Failed ASSERT checks: traced, and fatal only where the environment asks for it (tests).
#include "FwAssert.h"
#include <windows.h>
#include <cstdio>
#include <cstdlib>

void AfxAssertFailed(const char* file, int line, const char* expr)
{
    char text[512];
    _snprintf(text, sizeof(text) - 1, "ASSERT failed: %s (%s:%d)\n", expr, file, line);
    text[sizeof(text) - 1] = 0;
    OutputDebugStringA(text);
    char flag[8] = {};
    if (GetEnvironmentVariableA("TOVI_ASSERT_ABORT", flag, sizeof(flag)) && flag[0] == '1') {
        fputs(text, stderr);
        fflush(stderr);
        abort();
    }
}

// Stores an explorer log-in with automatic log-in on: AppStoreLogin USER PASSWORD [DOMAIN].
#include "ToviRegistry.h"
#include <cstdio>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: AppStoreLogin USER PASSWORD [DOMAIN]\n");
        return 2;
    }
    const bool stored = CToviRegistry::SetUserInfo(0, 0, 1, 1, argv[1], argv[2], argc > 3 ? argv[3] : L"");
    return stored ? 0 : 1;
}

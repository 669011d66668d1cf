// Export macro of ToviConnect.dll.
#pragma once
#if defined(TOVICONNECT_STATIC)
// Sources compiled into another program (the update program's own copies).
#define TOVICONNECT_API
#elif defined(TOVICONNECT_BUILD)
#define TOVICONNECT_API __declspec(dllexport)
#else
#define TOVICONNECT_API __declspec(dllimport)
#endif

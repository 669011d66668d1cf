// Export macro of ToviConnect.dll.
#pragma once
#ifdef TOVICONNECT_BUILD
#define TOVICONNECT_API __declspec(dllexport)
#else
#define TOVICONNECT_API __declspec(dllimport)
#endif

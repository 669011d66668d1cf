// Export macro of ToviInterface.dll.
#pragma once
#ifdef TOVIINTERFACE_BUILD
#define TOVIINTERFACE_API __declspec(dllexport)
#else
#define TOVIINTERFACE_API __declspec(dllimport)
#endif

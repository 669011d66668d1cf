// Export macro of ToviLanguage.dll.
#pragma once
#ifdef TOVILANGUAGE_BUILD
#define TOVILANGUAGE_API __declspec(dllexport)
#else
#define TOVILANGUAGE_API __declspec(dllimport)
#endif

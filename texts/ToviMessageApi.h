// Export macro of ToviMessage.dll.
#pragma once
#ifdef TOVIMESSAGE_BUILD
#define TOVIMESSAGE_API __declspec(dllexport)
#else
#define TOVIMESSAGE_API __declspec(dllimport)
#endif

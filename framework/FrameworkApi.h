// Export macro of the framework DLL.
#pragma once
#ifdef FRAMEWORK_BUILD
#define FW_API __declspec(dllexport)
#else
#define FW_API __declspec(dllimport)
#endif

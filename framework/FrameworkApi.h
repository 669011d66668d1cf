// Export macro of the framework DLL.
#pragma once
#if defined(FRAMEWORK_STATIC)
// Linked into one program as a static library (the update program).
#define FW_API
#elif defined(FRAMEWORK_BUILD)
#define FW_API __declspec(dllexport)
#else
#define FW_API __declspec(dllimport)
#endif

// Framework diagnostics: debugger output for faults the framework absorbs.
#pragma once
#include "FrameworkApi.h"

// Writes "[framework] <where>: <what>" with OutputDebugString. Any thread.
FW_API void FwTrace(const char* where, const char* what);
// Reports an exception caught at a boundary (window procedure, thread entry); call it inside
// the catch block so the current exception's message can be read.
FW_API void FwTraceException(const char* where, const char* what = nullptr);

// Framework diagnostics: debugger output for faults the framework absorbs.
#pragma once
#include "FrameworkApi.h"

// Writes "[framework] <where>: <what>" with OutputDebugString. Any thread.
FW_API void FwTrace(const char* where, const char* what);
// Reports an exception caught at a boundary (window procedure, thread entry); call it inside
// the catch block so the current exception's message can be read.
FW_API void FwTraceException(const char* where, const char* what = nullptr);
// The same for an exception that escaped a window's message handler. In test runs
// (TOVI_ASSERT_ABORT=1) the program then ends with the message on stderr, so that the test
// fails, unless a test that throws on purpose said so with FwExpectHandlerExceptions.
FW_API void FwTraceHandlerException(const char* where, const char* what = nullptr);
// Process-wide; returns the previous setting.
FW_API bool FwExpectHandlerExceptions(bool expected);

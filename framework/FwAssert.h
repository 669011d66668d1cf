// ASSERT for the framework's checks of its callers (a control wrapper used without a window).
// A failed check is traced and the call goes on, so the program never stops on one; test runs
// set TOVI_ASSERT_ABORT=1 in the environment to make every failed check end the program.
#pragma once
#include "FrameworkApi.h"

FW_API void AfxAssertFailed(const char* file, int line, const char* expr);

#ifndef ASSERT
#define ASSERT(expr) ((expr) ? (void)0 : AfxAssertFailed(__FILE__, __LINE__, #expr))
#endif

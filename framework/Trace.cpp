// Framework diagnostics: debugger output for faults the framework absorbs.
#include "Trace.h"
#include <windows.h>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace {
std::atomic<bool> g_handlerExceptionsExpected(false);
}

void FwTrace(const char* where, const char* what)
{
    std::string line = "[framework] ";
    line += where ? where : "?";
    line += ": ";
    line += what ? what : "";
    line += "\n";
    OutputDebugStringA(line.c_str());
}

void FwTraceException(const char* where, const char* what)
{
    std::string text = "exception";
    if (what) {
        text += " in ";
        text += what;
    }
    try {
        std::exception_ptr current = std::current_exception();
        if (current)
            std::rethrow_exception(current);
    } catch (const std::exception& e) {
        text += ": ";
        text += e.what();
    } catch (...) {
        text += ": (not a std::exception)";
    }
    FwTrace(where, text.c_str());
}

void FwTraceHandlerException(const char* where, const char* what)
{
    FwTraceException(where, what);
    char flag[8] = {};
    if (g_handlerExceptionsExpected || !GetEnvironmentVariableA("TOVI_ASSERT_ABORT", flag, sizeof(flag)) ||
        flag[0] != '1')
        return;
    std::fprintf(stderr, "[framework] %s: an exception escaped a message handler (%s)\n", where ? where : "?",
                 what ? what : "");
    std::fflush(stderr);
    std::abort();
}

bool FwExpectHandlerExceptions(bool expected)
{
    return g_handlerExceptionsExpected.exchange(expected);
}

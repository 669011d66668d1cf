// Framework diagnostics: debugger output for faults the framework absorbs.
#include "Trace.h"
#include <windows.h>
#include <exception>
#include <string>

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

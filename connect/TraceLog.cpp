// The debug trace sender: one WM_COPYDATA per line to the "Ferrow Log" viewer window.
#include "TraceLog.h"
#include <windows.h>
#include <cstdarg>
#include <cwchar>
#include <string>

namespace {

// The line as sent: the formatted text, with "\r\n" added unless one of its last three
// characters is already a line feed.
bool FormatLine(std::wstring& line, const wchar_t* format, va_list args)
{
    va_list measure;
    va_copy(measure, args);
    int len = _vscwprintf(format, measure);
    va_end(measure);
    if (len < 0)
        return false;
    line.resize(static_cast<size_t>(len) + 1);
    int written = _vsnwprintf(&line[0], line.size(), format, args);
    if (written < 0)
        return false;
    line.resize(static_cast<size_t>(written));

    size_t tail = line.size() < 3 ? line.size() : 3;
    if (line.find(L'\n', line.size() - tail) == std::wstring::npos)
        line += L"\r\n";
    return true;
}

}

int TraceLog(int level, const wchar_t* format, ...)
{
    constexpr UINT kViewerWaitMs = 2000;
    HWND viewer = FindWindowW(nullptr, L"Ferrow Log");
    if (!viewer || !format)
        return 0;
    try {
        std::wstring line;
        va_list args;
        va_start(args, format);
        bool formatted = FormatLine(line, format, args);
        va_end(args);
        if (!formatted)
            return 0;

        COPYDATASTRUCT record = {};
        record.dwData = static_cast<ULONG_PTR>(level);
        record.cbData = static_cast<DWORD>(line.size() * sizeof(wchar_t));
        record.lpData = &line[0];
        // A viewer that stops taking lines must not stop the caller: give up on it after a while.
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(viewer, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record), SMTO_ABORTIFHUNG,
                            kViewerWaitMs, &answer);
    } catch (...) {
        // Tracing must never be the reason a caller fails.
    }
    return 0;
}

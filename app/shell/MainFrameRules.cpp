// Decisions of the main window that need no window.
#include "MainFrameRules.h"
#include "FormParam.h"
#include <shellapi.h>
#include <cstdlib>
#include <cstring>

namespace mainframe {

StartArgs ParseStartArgs(const wchar_t* commandLine)
{
    StartArgs args;
    if (commandLine == nullptr || *commandLine == 0)
        return args;
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(commandLine, &count);
    if (argv == nullptr)
        return args;
    // CommandLineToArgvW takes the first word as the program unless the text starts blank,
    // and m_lpCmdLine holds only the arguments.
    std::vector<CString> words;
    for (int i = 0; i < count; ++i)
        words.push_back(argv[i]);
    ::LocalFree(argv);
    if (!words.empty() && words[0].CompareNoCase(L"/NOUPDATE") == 0) {
        args.noUpdate = true;
        if (words.size() > 1)
            args.ssoId = words[1];
    } else if (!words.empty()) {
        args.ssoId = words[0];
    }
    return args;
}

int IntervalMs(const char* seconds)
{
    if (seconds == nullptr || *seconds == 0)
        return 0;
    char* end = nullptr;
    long value = std::strtol(seconds, &end, 10);
    if (end == seconds || value <= 0 || value > 24L * 3600L)
        return 0;
    return static_cast<int>(value * 1000);
}

int QuotaIntervalMs(const std::vector<_QUOTA_INFO>& quota)
{
    for (const _QUOTA_INFO& line : quota) {
        if (line.Interval[0] != 0)
            return IntervalMs(line.Interval);
    }
    return 0;
}

bool AlertKindOn(const _OPTION_INFO& option, int kind)
{
    const char* const flags[kAlertKinds] = {option.Attr61, option.Attr80, option.Attr81, option.Draft,
                                            option.Approval};
    return kind >= 0 && kind < kAlertKinds && flags[kind][0] == 'Y';
}

bool AnyAlertKindOn(const _OPTION_INFO& option)
{
    for (int kind = 0; kind < kAlertKinds; ++kind)
        if (AlertKindOn(option, kind))
            return true;
    return false;
}

TrayFlags TrayFlagsFor(bool loggedIn, const CString& customerCode)
{
    if (!loggedIn)
        return {TRUE, FALSE, FALSE, TRUE, TRUE};
    return {FALSE, TRUE, customerCode.CompareNoCase(L"QLNW") == 0 ? TRUE : FALSE, TRUE, TRUE};
}

int PopupSlot(int kind)
{
    static const int kKinds[kPopupSlots] = {6, 7, 8, 9, 10, 12, 13, 14, 15};
    for (int i = 0; i < kPopupSlots; ++i) {
        if (kKinds[i] == kind)
            return i;
    }
    return -1;
}

CString CaptionPageBody(const wchar_t* page, const CString& userId, const CString& sessionId)
{
    return CFormParam::Build({{L"link", CString(page)}, {L"uid", userId}, {L"sess", sessionId}});
}

CString JoinServerPath(const std::vector<CString>& names)
{
    CString path;
    for (const CString& name : names) {
        if (name.IsEmpty())
            continue;
        if (!path.IsEmpty())
            path += L"/";
        path += name;
    }
    return path;
}

std::vector<CString> SplitServerPath(const CString& path)
{
    std::vector<CString> names;
    int start = 0;
    const int length = path.GetLength();
    for (int i = 0; i <= length; ++i) {
        if (i == length || path[i] == L'/') {
            if (i > start)
                names.push_back(path.Mid(start, i - start));
            start = i + 1;
        }
    }
    return names;
}

RECT FirstFrameRect(const RECT& workArea)
{
    const int areaWidth = workArea.right - workArea.left;
    const int areaHeight = workArea.bottom - workArea.top;
    const int width = areaWidth * 7 / 10;
    const int height = width * 2 / 3;
    RECT rect;
    rect.left = workArea.left + (areaWidth - width) / 2;
    rect.top = workArea.top + (areaHeight - height) / 2;
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    return rect;
}

bool IdleExpired(DWORD now, DWORD lastInput, int limitMs)
{
    if (limitMs <= 0)
        return false;
    return static_cast<DWORD>(now - lastInput) > static_cast<DWORD>(limitMs);
}

}

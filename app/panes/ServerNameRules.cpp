// Server item name rules and the list's size and date texts.
#include "ServerNameRules.h"
#include <cwchar>
#include <cwctype>

namespace {

const wchar_t* const kDeviceNames[] = {L"CON",  L"PRN",  L"AUX",  L"NUL",  L"COM1", L"COM2", L"COM3", L"COM4",
                                       L"COM5", L"COM6", L"COM7", L"COM8", L"COM9", L"LPT1", L"LPT2", L"LPT3",
                                       L"LPT4", L"LPT5", L"LPT6", L"LPT7", L"LPT8", L"LPT9"};

}

int CheckServerItemName(const CString& name)
{
    if (name.FindOneOf(L"\\/:*?\"<>|") >= 0)
        return -1;
    for (const wchar_t* device : kDeviceNames)
        if (name.CompareNoCase(device) == 0)
            return -1;
    return 0;
}

CString TrimEditedName(const CString& text)
{
    CString name = text;
    name.Trim();
    name.TrimRight(L'.');
    return name;
}

NameDecision DecideEditedName(const CString& name, bool fileContext, int maxLength,
                              const std::function<int(const CString&)>& siblingKind)
{
    NameDecision d;
    if (name.IsEmpty()) {
        d.verdict = NameVerdict::ReopenMessage;
        d.messageId = fileContext ? 12074 : 12040;
    } else if (name.GetLength() >= maxLength) {
        d.verdict = NameVerdict::ReopenMessage;
        d.messageId = fileContext ? 12075 : 12076;
    } else if (name[0] == L'.') {
        d.verdict = NameVerdict::ReopenQuiet;
    } else if (CheckServerItemName(name) != 0) {
        d.verdict = NameVerdict::ReopenMessage;
        d.messageId = 12077;
    } else if (siblingKind) {
        int kind = siblingKind(name);
        if (kind != 0) {
            d.verdict = NameVerdict::ReopenMessage;
            d.messageId = kind == 'D' ? 12054 : 12078;
        }
    }
    return d;
}

CString FormatFileSize(long long bytes)
{
    long long number;
    bool megabytes = false;
    if (bytes <= 0)
        number = 0;
    else if (bytes <= 1024)
        number = 1;
    else if (bytes <= 0x40000000LL)
        number = static_cast<long long>(static_cast<double>(bytes) * 0.0009765625 + 0.5);
    else {
        number = static_cast<long long>(static_cast<double>(bytes) * 9.5367431640625e-07 + 0.5);
        megabytes = true;
    }
    wchar_t digits[32];
    swprintf(digits, 32, L"%lld", number);
    int length = static_cast<int>(wcslen(digits));
    int group = length % 3 == 0 ? 3 : length % 3;
    CString out;
    for (int at = 0; at < length; at += group, group = 3) {
        out.Append(digits + at, group);
        if (at + group < length)
            out += L',';
    }
    out += megabytes ? L"MB" : L"KB";
    return out;
}

CString FormatListDate(const CString& modified, const CString& am, const CString& pm)
{
    if (modified.GetLength() < 16)
        return modified;
    CString date = modified.Left(10);
    CString hourText = modified.Mid(11, 2);
    CString minute = modified.Mid(14, 2);
    int hour = static_cast<int>(wcstol(hourText.GetString(), nullptr, 10));
    const CString& marker = hour >= 12 ? pm : am;
    if (hour > 12) {
        hour -= 12;
        hourText.Format(L"%02d", hour);
    }
    CString out;
    out.Format(L"%s %s %s:%s", date.GetString(), marker.GetString(), hourText.GetString(), minute.GetString());
    return out;
}

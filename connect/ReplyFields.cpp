// Reply values into fixed-width slots, request values within their buffers.
#include "ReplyFields.h"
#include "ToviConv.h"
#include "ToviProtoTypes.h"
#include "TraceLog.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

namespace replyfield {

namespace {

const wchar_t kSettingsKey[] = L"Software\\Varivivod\\VariruDAD";

// The value as the C runtime reads it: up to its first zero.
std::string UpToZero(const std::string& value)
{
    return std::string(value.c_str());
}

void CopyWide(wchar_t* dest, size_t capacity, const wchar_t* text, size_t length)
{
    if (capacity == 0)
        return;
    std::memset(dest, 0, capacity * sizeof(wchar_t));
    if (length > capacity - 1)
        length = capacity - 1;
    // A pair of halves that the cut would split loses both.
    if (length > 0 && length < std::wcslen(text) && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF)
        --length;
    std::wmemcpy(dest, text, length);
}

}

void CopyText(char* dest, size_t width, const std::string& value)
{
    if (width == 0)
        return;
    std::memset(dest, 0, width);
    const std::string text = UpToZero(value);
    std::memcpy(dest, text.data(), text.size() < width - 1 ? text.size() : width - 1);
}

void DecodeUtf8(wchar_t* dest, size_t capacity, const std::string& value, size_t maxBytes)
{
    std::string text = UpToZero(value);
    if (text.size() > maxBytes)
        text.resize(maxBytes);
    // The decoder writes at most one unit per byte and no terminator.
    std::vector<unsigned short> wide(text.size() + 1, 0);
    const int n = CToviConv::UTF8Decode(&text[0], wide.data());
    std::wstring decoded;
    for (int i = 0; i < n; ++i)
        decoded.push_back(static_cast<wchar_t>(wide[static_cast<size_t>(i)]));
    CopyWide(dest, capacity, decoded.c_str(), decoded.size());
}

void WidenAnsi(wchar_t* dest, size_t capacity, const std::string& value)
{
    const std::string text = UpToZero(value);
    wchar_t* wide = CToviConv::Tovi_MultiByteToWideChar(text.c_str());
    CopyWide(dest, capacity, wide ? wide : L"", wide ? std::wcslen(wide) : 0);
    CToviConv::Tovi_wFree(wide);
}

void DateText(wchar_t* dest, size_t capacity, const std::string& value, bool english)
{
    WidenAnsi(dest, capacity, value);
    if (english && dest[0]) {
        // Read from the whole value: the slot may have cut it.
        wchar_t* wide = CToviConv::Tovi_MultiByteToWideChar(UpToZero(value).c_str());
        CString rewritten = ChangeEngData(wide ? wide : L"");
        CToviConv::Tovi_wFree(wide);
        CopyWide(dest, capacity, rewritten.GetString(), static_cast<size_t>(rewritten.GetLength()));
    }
}

CString ChangeEngData(const wchar_t* text)
{
    // Day, month, year as the English interface shows them.
    CString out;
    if (!text || std::wcslen(text) < 19) {
        TraceLog(TRACE_ERROR, L"[ ChangeEngData ] STRING isEMPTY or SHORT!\n");
        return out;
    }
    auto number = [text](int at, int count) { return std::wcstol(std::wstring(text + at, count).c_str(), nullptr, 10); };
    out.Format(L"%02d/%02d/%04d %02d:%02d:%02d", number(8, 2), number(5, 2), number(0, 4), number(11, 2), number(14, 2),
               number(17, 2));
    return out;
}

bool GetLanguageSetting(int& language)
{
    wchar_t value[8] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    DWORD type = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    const LONG status = RegQueryValueExW(key, L"Language", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    value[size / sizeof(wchar_t)] = 0;
    if (value[0] == 0 || std::wcslen(value) > 4)
        return false;
    switch (std::wcstol(value, nullptr, 10)) {
    case 1033:
        language = 9;
        break;
    case 1041:
        language = 17;
        break;
    default:
        language = 18;
        break;
    }
    return true;
}

bool EnglishDates()
{
    int language = 0;
    return GetLanguageSetting(language) && language == 9;
}

std::string Text(const char* text)
{
    return text ? std::string(text) : std::string();
}

std::string EncodeUtf8(const wchar_t* text, int bufferBytes)
{
    if (!text || !*text || bufferBytes <= 1)
        return std::string();
    std::vector<char> out(static_cast<size_t>(bufferBytes), 0);
    std::vector<unsigned short> units(text, text + std::wcslen(text) + 1);
    int written = CToviConv::UTF8Encode(units.data(), bufferBytes, out.data());
    std::string encoded(out.data(), static_cast<size_t>(written));
    // A high surrogate whose partner was cut off is dropped with it.
    if (encoded.size() >= 3) {
        const unsigned char* tail = reinterpret_cast<const unsigned char*>(encoded.data()) + encoded.size() - 3;
        if (tail[0] == 0xED && tail[1] >= 0xA0 && tail[1] <= 0xAF) {
            size_t fullUnits = 0;
            for (const unsigned char* p = reinterpret_cast<const unsigned char*>(encoded.data());
                 p < reinterpret_cast<const unsigned char*>(encoded.data()) + encoded.size();) {
                p += *p < 0x80 ? 1 : (*p < 0xE0 ? 2 : 3);
                ++fullUnits;
            }
            if (fullUnits < std::wcslen(text))
                encoded.resize(encoded.size() - 3);
        }
    }
    return encoded;
}

bool NarrowAnsi(const CString& text, std::string& out)
{
    out.clear();
    if (text.IsEmpty())
        return true;
    char* narrow = CToviConv::Tovi_WideCharToMultiByte(text.GetString());
    if (!narrow)
        return false;
    out = narrow;
    CToviConv::Tovi_Free(narrow);
    return true;
}

std::string Decimal(unsigned long long value)
{
    char text[21];
    std::snprintf(text, sizeof text, "%llu", value);
    return text;
}

}

// Server list tool-tip texts.
#include "ServerListTips.h"
#include <algorithm>
#include <cstring>

CString ShortenToolTip(const CString& text)
{
    if (text.GetLength() <= 80)
        return text;
    CString shortened = text.Left(76);
    shortened += L"...";
    return shortened;
}

void CopyToolTipText(wchar_t* buffer, size_t chars, const CString& text)
{
    if (!buffer || chars == 0)
        return;
    size_t count = std::min(static_cast<size_t>(text.GetLength()), chars - 1);
    if (count > 0 && count < static_cast<size_t>(text.GetLength()) && IS_HIGH_SURROGATE(text[count - 1]))
        --count;
    std::memcpy(buffer, text.GetString(), count * sizeof(wchar_t));
    buffer[count] = L'\0';
}

void CopyToolTipText(char* buffer, size_t bytes, const CString& text, UINT codePage)
{
    if (!buffer || bytes == 0)
        return;
    size_t used = 0;
    const wchar_t* p = text.GetString();
    for (int i = 0; i < text.GetLength();) {
        int units = (IS_HIGH_SURROGATE(p[i]) && i + 1 < text.GetLength()) ? 2 : 1;
        char piece[16];
        int n = WideCharToMultiByte(codePage, 0, p + i, units, piece, sizeof piece, nullptr, nullptr);
        if (n <= 0 || used + n > bytes - 1)
            break;
        std::memcpy(buffer + used, piece, n);
        used += n;
        i += units;
    }
    buffer[used] = '\0';
}

CString LockedFileTip(const wchar_t* ownerName, const wchar_t* ownerId)
{
    CString tip = L"잠금파일";
    CString owner;
    owner.Format(L"\n잠금자 %s[%s]", ownerName, ownerId);
    tip += owner;
    return tip;
}

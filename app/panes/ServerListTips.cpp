// Server list tool-tip texts.
#include "ServerListTips.h"
#include "ProtoRecords.h"
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

namespace {

enum Info { LINK, SEARCH, PROTECTED, LIMITED, VERSIONING, HIDDEN, MASTER, PASSWORD, DRM, INCOMPLETE, DOWNLOAD_LIMIT,
            PERSONAL };

}

std::vector<StatusSlot> StatusSlotsOf(const _PROTO_FOLDER_INFO& r)
{
    size_t length = strnlen(r.Attr231, sizeof r.Attr231);
    auto on = [&](int flag) { return static_cast<size_t>(flag) < length && r.Attr231[flag] == '1'; };
    std::vector<StatusSlot> slots;
    auto add = [&](int flag, int image) {
        if (on(flag))
            slots.push_back({flag, image});
    };
    if (std::strcmp(r.ItemType, "D") == 0) {
        add(HIDDEN, 5);
        add(VERSIONING, 4);
        add(PASSWORD, 7);
        return slots;
    }
    add(INCOMPLETE, 9);
    add(LINK, 0);
    // One place for the three kinds of limit: the first one set speaks for it.
    for (int flag : {LIMITED, PERSONAL, DOWNLOAD_LIMIT})
        if (on(flag)) {
            slots.push_back({flag, 3});
            break;
        }
    add(SEARCH, 1);
    add(PROTECTED, 2);
    add(VERSIONING, 4);
    add(PASSWORD, 7);
    return slots;
}

unsigned StatusTipMessage(int flag, bool folder)
{
    switch (flag) {
    case LINK: return 14203;
    case SEARCH: return 14204;
    case PROTECTED: return 14205;
    case LIMITED: return 14206;
    case VERSIONING: return folder ? 14207 : 14208;
    case HIDDEN: return 14209;
    case PASSWORD: return 14119;
    case DRM: return 14229;
    case INCOMPLETE: return 14242;
    case DOWNLOAD_LIMIT: return 14192;
    case PERSONAL: return 14264;
    default: return 0;
    }
}

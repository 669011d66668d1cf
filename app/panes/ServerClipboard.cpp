// The panes' clipboard: local files as CF_HDROP, server items as the "VARIRUDAD" text.
#include "ServerClipboard.h"
#include "OleDataObject.h"
#include "TraceLog.h"
#include <shlobj.h>
#include <cstring>
#include <cwchar>

namespace {

constexpr size_t kDropHeader = sizeof(DROPFILES);   // 20 bytes in both builds
constexpr DWORD kDropEffectMove = 2;

// One member of the record as the clipboard text carries it.
struct FieldRef {
    bool wide;
    void* data;
    size_t width;   // in characters of its kind, terminator included
};

#define NARROW(m) FieldRef{false, r.m, sizeof r.m}
#define WIDE(m) FieldRef{true, r.m, sizeof r.m / sizeof(wchar_t)}

// Field n (1-29) of the text. Fields 14 and 15 carry the 15th and 14th member.
FieldRef RecordField(_PROTO_FOLDER_INFO& r, int field)
{
    switch (field) {
    case 1: return NARROW(ItemType);
    case 2: return NARROW(IDX);
    case 3: return NARROW(Attr178);
    case 4: return NARROW(Attr179);
    case 5: return NARROW(DIDX);
    case 6: return WIDE(Name);
    case 7: return WIDE(Attr188);
    case 8: return NARROW(Attr189);
    case 9: return NARROW(Attr5);
    case 10: return NARROW(Attr33);
    case 11: return NARROW(Attr27);
    case 12: return NARROW(Attr28);
    case 13: return NARROW(Attr29);
    case 14: return NARROW(Attr62);
    case 15: return NARROW(Attr30);
    case 16: return NARROW(Attr190);
    case 17: return NARROW(Attr191);
    case 18: return WIDE(Attr197);
    case 19: return NARROW(Attr198);
    case 20: return NARROW(Attr231);
    case 21: return NARROW(Attr192);
    case 22: return NARROW(Attr9);
    case 23: return WIDE(Attr232);
    case 24: return WIDE(Attr13);
    case 25: return WIDE(Attr169);
    case 26: return WIDE(Attr183);
    case 27: return NARROW(Attr237);
    case 28: return WIDE(Attr158);
    default: return FieldRef{true, r.Reserved160, sizeof r.Reserved160 / sizeof(wchar_t)};   // type-name cache
    }
}

#undef NARROW
#undef WIDE

CString WideOf(const FieldRef& f)
{
    if (f.wide) {
        // The type-name cache is a byte array: copy out rather than alias it.
        std::vector<wchar_t> text(f.width + 1, L'\0');
        std::memcpy(text.data(), f.data, f.width * sizeof(wchar_t));
        return CString(text.data(), static_cast<int>(wcsnlen(text.data(), f.width)));
    }
    const char* narrow = static_cast<const char*>(f.data);
    int length = static_cast<int>(strnlen(narrow, f.width));
    if (length == 0)
        return CString();
    int count = MultiByteToWideChar(CP_ACP, 0, narrow, length, nullptr, 0);
    std::vector<wchar_t> wide(count + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, narrow, length, wide.data(), count);
    return CString(wide.data(), count);
}

// Stores value into the member; false when it does not fit (terminator included) or does not
// convert. The member is written only on success.
bool StoreField(const FieldRef& f, const CString& value)
{
    if (f.wide) {
        if (static_cast<size_t>(value.GetLength()) >= f.width)
            return false;
        std::vector<wchar_t> text(f.width, L'\0');
        std::wmemcpy(text.data(), value.GetString(), value.GetLength());
        std::memcpy(f.data, text.data(), f.width * sizeof(wchar_t));
        return true;
    }
    std::vector<char> text(f.width, '\0');
    if (!value.IsEmpty()) {
        int count = WideCharToMultiByte(CP_ACP, 0, value.GetString(), value.GetLength(), nullptr, 0, nullptr, nullptr);
        if (count <= 0 || static_cast<size_t>(count) >= f.width)
            return false;
        WideCharToMultiByte(CP_ACP, 0, value.GetString(), value.GetLength(), text.data(), count, nullptr, nullptr);
    }
    std::memcpy(f.data, text.data(), f.width);
    return true;
}

std::vector<CString> Split(const CString& text, wchar_t separator)
{
    std::vector<CString> pieces;
    int start = 0;
    for (;;) {
        int at = text.Find(separator, start);
        if (at < 0) {
            pieces.push_back(text.Mid(start));
            return pieces;
        }
        pieces.push_back(text.Mid(start, at - start));
        start = at + 1;
    }
}

bool HoldsSeparator(const CString& value)
{
    return value.FindOneOf(L"|\\") >= 0;
}

// Hands block to the emptied clipboard under format; the block is freed on any failure.
bool PutOnClipboard(UINT format, HGLOBAL block)
{
    if (!OpenClipboard(nullptr)) {
        GlobalFree(block);
        return false;
    }
    if (!EmptyClipboard() || !SetClipboardData(format, block)) {
        CloseClipboard();
        GlobalFree(block);
        return false;
    }
    CloseClipboard();
    return true;
}

CString TextOfBlock(HGLOBAL block)
{
    const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(block));
    if (!p)
        return CString();
    size_t chars = GlobalSize(block) / sizeof(wchar_t);
    CString text(p, static_cast<int>(wcsnlen(p, chars)));
    GlobalUnlock(block);
    return text;
}

bool PathsOfBlock(HGLOBAL block, std::vector<CString>& paths)
{
    const BYTE* p = static_cast<const BYTE*>(GlobalLock(block));
    if (!p)
        return false;
    bool read = ParseDropFilesBlock(p, GlobalSize(block), paths);
    GlobalUnlock(block);
    return read;
}

}

HGLOBAL GlobalCopy(const void* bytes, size_t size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block)
        return nullptr;
    void* p = GlobalLock(block);
    if (!p) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(p, bytes, size);
    GlobalUnlock(block);
    return block;
}

std::vector<BYTE> BuildDropFilesBlock(const std::vector<CString>& paths)
{
    size_t chars = 0;
    for (const CString& path : paths)
        if (!path.IsEmpty())
            chars += path.GetLength() + 1;
    if (chars == 0)
        return {};
    std::vector<BYTE> block(kDropHeader + (chars + 1) * sizeof(wchar_t), 0);
    DROPFILES header = {};
    header.pFiles = static_cast<DWORD>(kDropHeader);
    header.fWide = TRUE;
    std::memcpy(block.data(), &header, kDropHeader);
    size_t at = kDropHeader;
    for (const CString& path : paths) {
        if (path.IsEmpty())
            continue;
        size_t bytes = path.GetLength() * sizeof(wchar_t);
        std::memcpy(&block[at], path.GetString(), bytes);
        at += bytes + sizeof(wchar_t);
    }
    return block;
}

bool ParseDropFilesBlock(const BYTE* block, size_t size, std::vector<CString>& paths)
{
    paths.clear();
    if (!block || size < kDropHeader)
        return false;
    DROPFILES header;
    std::memcpy(&header, block, kDropHeader);
    size_t at = header.pFiles;
    if (header.fWide) {
        while (at + sizeof(wchar_t) <= size) {
            size_t chars = (size - at) / sizeof(wchar_t);
            std::vector<wchar_t> text(chars);
            std::memcpy(text.data(), block + at, chars * sizeof(wchar_t));
            size_t length = wcsnlen(text.data(), chars);
            if (length == 0 || length == chars)   // the end, or a name without terminator
                break;
            paths.emplace_back(text.data(), static_cast<int>(length));
            at += (length + 1) * sizeof(wchar_t);
        }
    } else {
        while (at < size) {
            const char* text = reinterpret_cast<const char*>(block + at);
            size_t length = strnlen(text, size - at);
            if (length == 0 || length == size - at)
                break;
            paths.emplace_back(CString(CStringA(text, static_cast<int>(length))));
            at += length + 1;
        }
    }
    return !paths.empty();
}

bool CopyFolderInfoClipboard(const _PROTO_FOLDER_INFO& record, const CString& paneTag, const CString& sourcePath,
                             const CString& cutMark, CString& text)
{
    TraceLog(1, L" [ CopyFolderInfoClipboard ] START!");
    _PROTO_FOLDER_INFO& r = const_cast<_PROTO_FOLDER_INFO&>(record);   // read only
    CString out;
    for (int field = 1; field <= 29; ++field) {
        CString value = WideOf(RecordField(r, field));
        if (field == 12)
            value = (std::strcmp(record.Attr28, "N") == 0) ? L"N" : L"Y";
        if (HoldsSeparator(value)) {
            TraceLog(2048, L" [ CopyFolderInfoClipboard ] field %d holds a separator", field);
            return false;
        }
        out += value;
        out += L'|';
    }
    if (HoldsSeparator(sourcePath) || HoldsSeparator(cutMark) || HoldsSeparator(paneTag))
        return false;
    out += sourcePath;
    out += L'|';
    out += cutMark;
    out += L'|';
    out += paneTag;
    text += out;
    TraceLog(1, L" %s", text.GetString());
    TraceLog(1, L" [ CopyFolderInfoClipboard ] END!");
    return true;
}

bool GetFolderInfoClipboard(_PROTO_FOLDER_INFO& record, CString& paneTag, CString& sourcePath, bool& cut,
                            const std::vector<CString>& fields, size_t first)
{
    TraceLog(1, L" [ GetFolderInfoClipboard ] START!");
    if (first > fields.size() || fields.size() - first != kFolderInfoFieldCount)
        return false;
    _PROTO_FOLDER_INFO filled = {};
    for (int field = 1; field <= 29; ++field)
        if (!StoreField(RecordField(filled, field), fields[first + field - 1]))
            return false;
    for (int field = 1; field <= 29; ++field) {
        FieldRef from = RecordField(filled, field);
        FieldRef to = RecordField(record, field);
        std::memcpy(to.data, from.data, to.width * (to.wide ? sizeof(wchar_t) : 1));
    }
    sourcePath = fields[first + 29];
    cut = fields[first + 30].CompareNoCase(L"M") == 0;
    paneTag = fields[first + 31];
    TraceLog(1, L" [ GetFolderInfoClipboard ] END!");
    return true;
}

bool ParseFolderInfoText(const CString& text, std::vector<_PROTO_FOLDER_INFO>& records, CString& paneTag,
                         CString& sourcePath, bool& cut)
{
    records.clear();
    if (text.IsEmpty())
        return false;
    for (const CString& piece : Split(text, L'\\')) {
        std::vector<CString> fields = Split(piece, L'|');
        _PROTO_FOLDER_INFO record = {};
        CString tag, path;
        bool isCut = false;
        if (!GetFolderInfoClipboard(record, tag, path, isCut, fields, 0)) {
            TraceLog(2048, L" [ GetFolderInfoClipboard ] malformed record dropped (%d fields)",
                     static_cast<int>(fields.size()));
            continue;
        }
        paneTag = tag;
        sourcePath = path;
        cut = isCut;
        records.push_back(record);
    }
    return !records.empty();
}

int CopyFileListClipboard(const std::vector<CString>& paths, bool cut)
{
    std::vector<BYTE> bytes = BuildDropFilesBlock(paths);
    if (bytes.empty())
        return 0;
    HGLOBAL block = GlobalCopy(bytes.data(), bytes.size());
    if (!block)
        return 0;
    if (!OpenClipboard(nullptr)) {
        GlobalFree(block);
        return 0;
    }
    if (!EmptyClipboard() || !SetClipboardData(CF_HDROP, block)) {
        GlobalFree(block);
        CloseClipboard();
        return 0;
    }
    if (cut) {
        UINT effectFormat = RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT);
        HGLOBAL effect = GlobalCopy(&kDropEffectMove, sizeof kDropEffectMove);
        if (effect && (!effectFormat || !SetClipboardData(effectFormat, effect)))
            GlobalFree(effect);
    }
    CloseClipboard();
    return 1;
}

int GetFileListClipboard(std::vector<CString>& paths, bool& cut)
{
    paths.clear();
    if (!OpenClipboard(nullptr))
        return 0;
    HGLOBAL block = GetClipboardData(CF_HDROP);
    if (!block || !PathsOfBlock(block, paths)) {
        paths.clear();
        CloseClipboard();
        return 0;
    }
    cut = false;
    UINT effectFormat = RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT);
    HGLOBAL effect = effectFormat ? GetClipboardData(effectFormat) : nullptr;
    if (effect && GlobalSize(effect) >= sizeof(DWORD)) {
        if (const DWORD* value = static_cast<const DWORD*>(GlobalLock(effect))) {
            cut = *value == kDropEffectMove;
            GlobalUnlock(effect);
        }
    }
    CloseClipboard();
    return 1;
}

int GetFileListDataObject(std::vector<CString>& paths, COleDataObject* dataObject)
{
    paths.clear();
    if (!dataObject || !dataObject->IsDataAvailable(CF_HDROP))
        return 0;
    HGLOBAL block = dataObject->GetGlobalData(CF_HDROP);
    if (!block)
        return 0;
    bool read = PathsOfBlock(block, paths);
    GlobalFree(block);
    return read ? 1 : 0;
}

int CopyFolderInfoListClipboard(const UINT* format, const std::vector<_PROTO_FOLDER_INFO>& records,
                                const CString& paneTag, const CString& sourcePath, bool cut)
{
    if (!format || *format == 0)
        return 0;
    CString text;
    for (size_t i = 0; i < records.size(); ++i) {
        if (!CopyFolderInfoClipboard(records[i], paneTag, sourcePath, cut ? L"M" : L"C", text))
            return 0;
        if (i + 1 < records.size())
            text += L'\\';
    }
    if (text.IsEmpty())
        return 0;
    HGLOBAL block = GlobalCopy(text.GetString(), (text.GetLength() + 1) * sizeof(wchar_t));
    if (!block)
        return 0;
    return PutOnClipboard(*format, block) ? 1 : 0;
}

int GetFolderInfoListClipboard(const UINT* format, std::vector<_PROTO_FOLDER_INFO>& records, CString& paneTag,
                               CString& sourcePath, bool& cut)
{
    if (!format || *format == 0 || !IsClipboardFormatAvailable(*format))
        return 0;
    records.clear();
    if (!OpenClipboard(nullptr))
        return 0;
    HGLOBAL block = GetClipboardData(*format);
    if (!block) {
        CloseClipboard();
        return 0;
    }
    CString text = TextOfBlock(block);
    CloseClipboard();
    return ParseFolderInfoText(text, records, paneTag, sourcePath, cut) ? 1 : 0;
}

int GetFolderInfoListDataObject(COleDataObject* dataObject, const UINT* format,
                                std::vector<_PROTO_FOLDER_INFO>& records, CString& paneTag, CString& sourcePath)
{
    records.clear();
    if (!dataObject || !format || *format == 0)
        return 0;
    HGLOBAL block = dataObject->GetGlobalData(static_cast<CLIPFORMAT>(*format));
    if (!block)
        return 0;
    CString text = TextOfBlock(block);
    GlobalFree(block);
    bool cut = false;
    return ParseFolderInfoText(text, records, paneTag, sourcePath, cut) ? 1 : 0;
}

void ClearClipboard()
{
    EmptyClipboard();
    CloseClipboard();
}

// CFileUtils: sizes, names, checksums, natural order, folders and version texts.
#include "FileUtils.h"
#include "VersionResource.h"
#include "Files.h"
#include "TraceLog.h"
#include <cstdio>
#include <cwchar>
#include <vector>
#include <zlib.h>

namespace {

// The two version texts: each form returns its own buffer.
wchar_t g_programVersion[30];
wchar_t g_fileVersion[30];

CString GroupThousands(unsigned __int64 number)
{
    wchar_t digits[32];
    _snwprintf(digits, 31, L"%I64u", number);
    digits[31] = L'\0';
    CString grouped;
    int length = static_cast<int>(wcslen(digits));
    for (int i = 0; i < length; ++i) {
        if (i > 0 && (length - i) % 3 == 0)
            grouped += L',';
        grouped += digits[i];
    }
    return grouped;
}

// The four 16-bit parts of a file's fixed version; false without a version resource.
bool FixedFileVersion(const wchar_t* path, WORD parts[4])
{
    std::vector<BYTE> data;
    if (!ReadVersionResource(path, data))
        return false;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || info == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO))
        return false;
    parts[0] = HIWORD(info->dwFileVersionMS);
    parts[1] = LOWORD(info->dwFileVersionMS);
    parts[2] = HIWORD(info->dwFileVersionLS);
    parts[3] = LOWORD(info->dwFileVersionLS);
    return true;
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

void VersionParts(CString text, int parts[4])
{
    text.Replace(L'.', L',');
    int pos = 0;
    for (int i = 0; i < 4; ++i) {
        parts[i] = 0;
        if (pos < 0 || pos > text.GetLength())
            continue;
        int comma = text.Find(L',', pos);
        CString part = comma < 0 ? text.Mid(pos) : text.Mid(pos, comma - pos);
        parts[i] = _wtoi(part.GetString());
        pos = comma < 0 ? -1 : comma + 1;
    }
}

}

CString CFileUtils::ConvertFileSize(__int64 bytes)
{
    unsigned __int64 number = 0;
    const wchar_t* unit = L"KB";
    if (bytes < 0) {
        number = 0;
    } else if ((bytes >> 32) != 0 || bytes > 0x40000000) {
        number = static_cast<unsigned __int64>(static_cast<double>(bytes) / 1048576.0 + 0.5);
        unit = L"MB";
    } else if (bytes > 1024) {
        number = static_cast<unsigned __int64>(static_cast<double>(bytes) / 1024.0 + 0.5);
    } else {
        number = bytes != 0 ? 1 : 0;
    }
    return GroupThousands(number) + unit;
}

CString CFileUtils::ConvertFileSize2(__int64 bytes)
{
    static const wchar_t* const kUnits[] = { L"BYTE", L"KB", L"MB", L"GB", L"TB", L"PB", L"EB", L"ZB", L"YB" };
    double value = static_cast<double>(bytes);
    int steps = 0;
    while (value >= 1024.0) {
        value /= 1024.0;
        if (++steps > 8)
            return CString();
    }
    CString text;
    text.Format(L"%4.1f %s", value, kUnits[steps]);
    text.TrimLeft();
    return text;
}

CString CFileUtils::ConvertFileSize2(CString bytes)
{
    return ConvertFileSize2(_wtoi64(bytes.GetString()));
}

__int64 CFileUtils::GetFileSize(wchar_t* path)
{
    if (path == nullptr)
        return 0;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(path, &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    ::FindClose(find);
    return (static_cast<__int64>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

CString CFileUtils::GetFileName(wchar_t* path)
{
    if (path == nullptr)
        return CString();
    wchar_t name[_MAX_FNAME] = {};
    wchar_t ext[_MAX_EXT] = {};
    _wsplitpath(path, nullptr, nullptr, name, ext);
    CString result;
    result.Format(L"%s%s", name, ext);
    return result;
}

__int64 CFileUtils::Seek64(HANDLE file, __int64 distance, unsigned method)
{
    if (file == nullptr)
        return 0;
    LARGE_INTEGER move;
    move.QuadPart = distance;
    move.LowPart = ::SetFilePointer(file, move.LowPart, &move.HighPart, method);
    if (move.LowPart == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR)
        return -1;
    return move.QuadPart;
}

unsigned long CFileUtils::ComputeChecksum(CString path, __int64 size)
{
    const DWORD kBlock = 8192;
    const __int64 kWholeLimit = 0x6400000;      // up to 100 MB every byte counts
    const __int64 kChunkBytes = 0x500000;       // above it, 20 samples of 5 MB
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    if (size == 0) {
        LARGE_INTEGER length;
        if (!::GetFileSizeEx(file, &length) || length.QuadPart == 0) {
            ::CloseHandle(file);
            return 0;
        }
        size = length.QuadPart;
    }
    uLong running = adler32(0L, Z_NULL, 0);
    std::vector<Bytef> block(kBlock);
    DWORD got = 0;
    if (size <= kWholeLimit) {
        __int64 left = size;
        while (left > 0) {
            DWORD want = left < kBlock ? static_cast<DWORD>(left) : kBlock;
            if (!::ReadFile(file, block.data(), want, &got, nullptr) || got == 0)
                break;
            running = adler32(running, block.data(), got);
            left -= got;
        }
    } else {
        __int64 step = size / 20;
        for (int k = 0; k < 20; ++k) {
            if (Seek64(file, k * step, FILE_BEGIN) < 0)
                break;
            __int64 fed = 0;
            while (fed < kChunkBytes) {
                if (!::ReadFile(file, block.data(), kBlock, &got, nullptr) || got == 0)
                    break;
                running = adler32(running, block.data(), got);
                fed += got;
            }
        }
    }
    ::CloseHandle(file);
    return running;
}

int CFileUtils::CompareFileName(const void* a, const void* b)
{
    const wchar_t* p = static_cast<const CString*>(a)->GetString();
    const wchar_t* q = static_cast<const CString*>(b)->GetString();
    for (;;) {
        if (*p == L'\0')
            return *q == L'\0' ? 0 : -1;
        if (*q == L'\0')
            return 1;
        if (!IsDigit(*p) || !IsDigit(*q)) {
            int diff = _wcsnicmp(p, q, 1);
            if (diff != 0)
                return diff;
            ++p;
            ++q;
            continue;
        }
        const wchar_t* runP = p;
        const wchar_t* runQ = q;
        size_t lengthP = 0, lengthQ = 0;
        while (IsDigit(runP[lengthP]))
            ++lengthP;
        while (IsDigit(runQ[lengthQ]))
            ++lengthQ;
        const wchar_t* endP = runP + lengthP;
        const wchar_t* endQ = runQ + lengthQ;
        while (lengthP != lengthQ) {
            if (lengthP > lengthQ) {
                if (*runP != L'0')
                    return 1;
                ++runP;
                --lengthP;
            } else {
                if (*runQ != L'0')
                    return -1;
                ++runQ;
                --lengthQ;
            }
        }
        int diff = _wcsnicmp(runP, runQ, lengthP);
        if (diff != 0)
            return diff;
        p = endP;
        q = endQ;
    }
}

int CFileUtils::IsExistFile(CString path)
{
    CFileFind find;
    return find.FindFile(path) ? 1 : 0;
}

int CFileUtils::IsExistFolder(CString folder, int create)
{
    CFileFind find;
    if (find.FindFile(folder + L"\\*.*"))
        return 1;
    return create != 0 ? CreateFolder(folder) : 0;
}

int CFileUtils::CreateFolder(CString path)
{
    for (int i = 1; i < path.GetLength(); ++i)
        if (path[i] == L'\\')
            ::CreateDirectoryW(path.Left(i), nullptr);
    ::CreateDirectoryW(path, nullptr);
    DWORD attributes = ::GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return 1;
    TraceLog(2048, L"[ CFileUtils::CreateFolder ] [ %s ] not created [ %d ]\n", path.GetString(),
             static_cast<int>(::GetLastError()));
    return 0;
}

int CFileUtils::DeleteFolder(const wchar_t* path)
{
    if (path == nullptr)
        return 0;
    CString folder(path);
    CFileFind find;
    bool more = find.FindFile(folder + L"\\*.*");
    if (!more)
        return 0;
    while (more) {
        more = find.FindNextFile();
        if (find.IsDots())
            continue;
        CString entry = find.GetFilePath();
        if (find.IsDirectory()) {
            DeleteFolder(entry);
        } else if (!::DeleteFileW(entry)) {
            break;
        }
    }
    find.Close();
    return ::RemoveDirectoryW(path) ? 1 : 0;
}

wchar_t* CFileUtils::GetFileVersionString()
{
    wchar_t self[MAX_PATH] = {};
    WORD parts[4];
    if (::GetModuleFileNameW(nullptr, self, MAX_PATH) != 0 && FixedFileVersion(self, parts))
        _snwprintf(g_programVersion, 29, L"v%d.%d.%d.%d", parts[0], parts[1], parts[2], parts[3]);
    else
        wcscpy(g_programVersion, L"Unknown");
    g_programVersion[29] = L'\0';
    return g_programVersion;
}

wchar_t* CFileUtils::GetFileVersionString(CString path)
{
    WORD parts[4];
    if (FixedFileVersion(path, parts))
        _snwprintf(g_fileVersion, 29, L"%d,%d,%d,%d", parts[0], parts[1], parts[2], parts[3]);
    else
        wcscpy(g_fileVersion, L"Unknown");
    g_fileVersion[29] = L'\0';
    return g_fileVersion;
}

int CFileUtils::IsHighVersion(CString serverVersion, CString localVersion)
{
    TraceLog(1, L" [ CFileUtils::IsHighVersion ] COMPARE \n SERVER : %s - LOCAL : %s ", serverVersion.GetString(),
             localVersion.GetString());
    int server[4], local[4];
    VersionParts(serverVersion, server);
    VersionParts(localVersion, local);
    for (int i = 0; i < 4; ++i) {
        if (server[i] > local[i]) {
            TraceLog(2, L"[ CFileUtils::IsHighVersion ] UPDATE NEED!");
            return 1;
        }
        if (server[i] < local[i])
            return 0;
    }
    return 0;
}

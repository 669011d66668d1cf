// The decisions and requests of a download into an existing local file.
#include "DownloadResume.h"
#include "FileUtils.h"
#include "ToviProto.h"

namespace download {

LocalMatch MatchLocal(const char* answer, __int64 serverSize, __int64 localSize)
{
    const char first = answer ? answer[0] : '\0';
    if (first == 'Y') {
        if (serverSize > localSize)
            return LocalMatch::Resume;
        return serverSize == localSize ? LocalMatch::Complete : LocalMatch::Conflict;
    }
    return first == 'N' ? LocalMatch::Conflict : LocalMatch::FromStart;
}

int Reannounce(CToviProto& proto, HWND wnd, HANDLE file, char* itemId, char* folderId, char* version, char* fileKey)
{
    proto.CloseSocket();
    CFileUtils::Seek64(file, 0, FILE_BEGIN);
    ::SetEndOfFile(file);
    char zero[] = "0";
    return proto.GetDownloadInfo(wnd, file, itemId, folderId, version, zero, nullptr,
                                 fileKey && fileKey[0] ? fileKey : nullptr);
}

int ResumeAt(CToviProto& proto, HANDLE file, __int64 localSize)
{
    CFileUtils::Seek64(file, localSize, FILE_BEGIN);
    char resume[] = "3";
    return proto.GetDownloadPosition(resume, localSize);
}

}

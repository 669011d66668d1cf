// Jobs handed to the splitter from outside the program, for end-to-end test runs of the
// transfer hand-over: a WM_COPYDATA whose text lists the items. Taken only when the program was
// started with TOVI_TEST_HANDOVER=1; otherwise the message is refused.
//
// Upload text:   IDX \n DIDX \n local path \n local path ...
// Download text: destination folder \n then per item: kind \n IDX \n DIDX \n name \n server path \n size
#include "ToviSplitter.h"
#include "TransferCommon.h"
#include "TransferJobs.h"
#include <cwchar>

namespace {

bool HandOverEnabled()
{
    wchar_t value[4] = {};
    return ::GetEnvironmentVariableW(L"TOVI_TEST_HANDOVER", value, 4) == 1 && value[0] == L'1';
}

std::vector<CString> Lines(const COPYDATASTRUCT* data)
{
    std::vector<CString> lines;
    if (data->lpData == nullptr || data->cbData < sizeof(wchar_t))
        return lines;
    const CString text(static_cast<const wchar_t*>(data->lpData), static_cast<int>(data->cbData / sizeof(wchar_t)));
    int start = 0;
    while (start <= text.GetLength()) {
        int end = text.Find(L'\n', start);
        if (end < 0)
            end = text.GetLength();
        lines.push_back(text.Mid(start, end - start));
        start = end + 1;
    }
    return lines;
}

void Narrow(char* dest, size_t size, const CString& text)
{
    const CStringA narrow(text);
    transfer::CopyFitting(dest, size, narrow.GetString());
}

}

BOOL CToviSplitter::OnCopyData(CWnd*, COPYDATASTRUCT* data)
{
    if (data == nullptr || !HandOverEnabled())
        return FALSE;
    const std::vector<CString> lines = Lines(data);
    if (data->dwData == SPLITTER_TEST_UPLOAD && lines.size() >= 3) {
        _PROTO_FOLDER_INFO folder = {};
        Narrow(folder.ItemType, sizeof folder.ItemType, L"D");
        Narrow(folder.IDX, sizeof folder.IDX, lines[0]);
        Narrow(folder.DIDX, sizeof folder.DIDX, lines[1]);
        std::vector<_UPLOADINFO> items;
        for (size_t i = 2; i < lines.size(); ++i) {
            const DWORD attributes = ::GetFileAttributesW(lines[i]);
            const DWORD shell = (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
                                    ? UPLOADINFO_FOLDER
                                    : 0;
            _UPLOADINFO item;
            if (transferjobs::ForUpload(lines[i], folder, 0, shell, item) == transferjobs::Refusal::None)
                items.push_back(item);
        }
        Upload(&folder, items);
        return TRUE;
    }
    if (data->dwData == SPLITTER_TEST_DOWNLOAD && lines.size() >= 7) {
        const CString dest = lines[0];
        std::vector<_DOWNLOADINFO> items;
        for (size_t i = 1; i + 6 <= lines.size(); i += 6) {
            _PROTO_FOLDER_INFO record = {};
            Narrow(record.ItemType, sizeof record.ItemType, lines[i]);
            Narrow(record.IDX, sizeof record.IDX, lines[i + 1]);
            Narrow(record.DIDX, sizeof record.DIDX, lines[i + 2]);
            transfer::CopyFitting(record.Name, 1024, lines[i + 3].GetString());
            Narrow(record.Attr192, sizeof record.Attr192, lines[i + 5]);
            Narrow(record.Attr231, sizeof record.Attr231, L"000000000000");
            _DOWNLOADINFO item;
            const transferjobs::Refusal why =
                transferjobs::FromFolderRecord(record, lines[i + 4], dest, item);
            if (why != transferjobs::Refusal::None) {
                ShowRefusal(transferjobs::RefusalText(why, record.Name, record.ItemType[0] == 'D'));
                continue;
            }
            items.push_back(item);
        }
        Download(items);
        return TRUE;
    }
    return FALSE;
}

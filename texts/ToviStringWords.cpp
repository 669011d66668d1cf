// Display texts of the status and remarks words that the backup and restore runs store in
// their logs.
#include "ToviString.h"

namespace {

// "COMPLETE" reads exactly as interface text 14091: the log viewer marks every row whose
// status differs from that text.
const WordEntry kBackupWords[] = {
    {L"PROGRESS", L"진행 중", L"In progress", L"処理中"},
    {L"WAIT", L"대기", L"Waiting", L"待機中"},
    {L"COMPLETE", L"완료", L"Completed", L"完了"},
    {L"SKIP", L"건너뜀", L"Skipped", L"スキップ"},
    {L"OVERWRITE", L"덮어씀", L"Overwritten", L"上書き"},
    {L"WARNING", L"경고", L"Warning", L"警告"},
    {L"CANCEL", L"취소", L"Canceled", L"キャンセル"},
    {L"FAIL", L"실패", L"Failed", L"失敗"},
};

} // namespace

WordTable CToviString::GetBackupWords()
{
    return WordTable{kBackupWords, sizeof kBackupWords / sizeof kBackupWords[0]};
}

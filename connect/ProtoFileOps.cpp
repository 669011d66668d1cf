// CToviProto: copy and move, delete, rename, emptying the recycle bin and restoring from it
// (F1-F5), with the loops that take a multi-item operation through its steps.
#include "ToviProto.h"
#include "ProtoFields.h"
#include "ProtoMoreCommands.h"
#include "ReplyFields.h"
#include "TraceLog.h"
#include <cstdlib>
#include <cstring>

using namespace protofield;
using namespace replyfield;

namespace {

// Result code of a paste step that asks whether a share may be released.
constexpr int kShareReleaseQuestion = 1329;

}

// Every request of an operation forgets the item of the last reply, so that a reply without an
// item ends the loop instead of repeating the last name. The per-item result goes with it:
// a question left from an earlier step would be asked again.

int CToviProto::GetPaste(char* sourceFolder, char* targetFolder, char* idx, char* didx, char* itemType,
                         char* action, char* conflictMode, char* confirm)
{
    ClearResult();
    std::memset(&PasteResult, 0, sizeof PasteResult);
    std::memset(&FileOpInfo, 0, sizeof FileOpInfo);
    ProtRecord record = SessionRecord();
    record[kItemType] = Text(itemType);
    record[kPasteAction] = Text(action);
    record[kIndex] = Text(idx);
    record[kDomainIndex] = Text(didx);
    record[kSourceFolder] = Text(sourceFolder);
    record[kTargetFolder] = Text(targetFolder);
    record[kMode] = Text(conflictMode);
    record[kConfirm] = Text(confirm);
    return SendRecords(C_CP_MV, {record});
}

int CToviProto::GetPasteContinue(char* key, char* conflictMode)
{
    ClearResult();
    std::memset(&PasteResult, 0, sizeof PasteResult);
    std::memset(&FileOpInfo, 0, sizeof FileOpInfo);
    // Continuations go on the connection of the start request, which knows the session.
    ProtRecord record;
    record[kContinue] = Text(key);
    record[kMode] = Text(conflictMode);
    return SendRecords(C_CP_MV, {record});
}

int CToviProto::GetSharedReleaseContinue(char* key)
{
    ClearResult();
    std::memset(&PasteResult, 0, sizeof PasteResult);
    std::memset(&FileOpInfo, 0, sizeof FileOpInfo);
    return SendContinuation(C_CP_MV, key, false);
}

int CToviProto::GetDelete(char* itemType, char* idx, char* didx, char* version, char* mode, char* unused)
{
    (void)unused;
    ClearResult();
    std::memset(&FileOpInfo, 0, sizeof FileOpInfo);
    ProtRecord record = SessionRecord();
    record[kItemType] = Text(itemType);
    record[kIndex] = Text(idx);
    record[kDomainIndex] = Text(didx);
    record[kVersion] = Text(version);
    record[kDeleteMode] = Text(mode);
    return SendRecords(C_DELETE, {record});
}

int CToviProto::GetDeleteContinue(char* key)
{
    ClearResult();
    std::memset(&FileOpInfo, 0, sizeof FileOpInfo);
    return SendContinuation(C_DELETE, key, false);
}

int CToviProto::GetRename(char* itemType, char* idx, char* didx, const wchar_t* name)
{
    ClearResult();
    const std::string encoded = EncodeUtf8(name, 1024);
    if (encoded.empty())
        return -1;
    ProtRecord record = SessionRecord();
    record[kItemType] = Text(itemType);
    record[kIndex] = Text(idx);
    record[kDomainIndex] = Text(didx);
    record[kName] = encoded;
    return SendRecords(C_RENAME, {record});
}

int CToviProto::GetRecyclebinClear(char* idx, char* didx)
{
    ClearResult();
    std::memset(&FileOpInfo, 0, sizeof FileOpInfo);
    ProtRecord record = SessionRecord();
    record[kIndex] = Text(idx);
    record[kDomainIndex] = Text(didx);
    return SendRecords(C_BIN_EMPTY, {record});
}

int CToviProto::GetRecyclebinRestore(char* itemType, char* idx, char* didx)
{
    ClearResult();
    std::memset(&PasteResult, 0, sizeof PasteResult);
    std::memset(&FileOpInfo, 0, sizeof FileOpInfo);
    ProtRecord record = SessionRecord();
    record[kItemType] = Text(itemType);
    record[kIndex] = Text(idx);
    record[kDomainIndex] = Text(didx);
    return SendRecords(C_BIN_RESTORE, {record});
}

void CToviProto::ParsePasteReply(const _PROT& msg)
{
    for (const ProtRecord& record : msg.records) {
        for (const auto& field : record) {
            switch (field.first) {
            case kNameTaken: CopyText(FileOpInfo.FileOpFlag, field.second); break;
            case kName: DecodeUtf8(FileOpInfo.FileOpName, field.second); break;
            case kItemType: CopyText(FileOpInfo.FileOpType, field.second); break;
            case kResultCode: {
                char code[8];
                CopyText(code, field.second);
                PasteResult.nResultCode = std::atoi(code);
                break;
            }
            case kResultMessage: DecodeUtf8(PasteResult.wszMessage, field.second); break;
            default: break;
            }
        }
    }
}

void CToviProto::ParseDeleteReply(const _PROT& msg)
{
    for (const ProtRecord& record : msg.records) {
        for (const auto& field : record) {
            if (field.first == kName)
                DecodeUtf8(FileOpInfo.FileOpName, field.second);
            else if (field.first == kItemType)
                CopyText(FileOpInfo.FileOpType, field.second);
        }
    }
}

void CToviProto::ParseRenameReply(const _PROT&)
{
    TraceLog(TRACE_RECV_OK, L"C_RENAME\n");
}

int CToviProto::RunDelete(char* itemType, char* idx, char* didx, char* version, char* mode,
                          PROTO_STEP_CALLBACK callback, void* context, int maxSteps)
{
    char more[] = "Y", stop[] = "N";
    int result = GetDelete(itemType, idx, didx, version, mode, nullptr);
    for (int steps = 0; result == 0 && FileOpInfo.FileOpName[0]; ++steps) {
        if (steps >= maxSteps)
            return EndOperation(C_DELETE);
        const bool goOn = !callback || callback(this, context);
        result = GetDeleteContinue(goOn ? more : stop);
        if (!goOn)
            break;
    }
    return result;
}

int CToviProto::RunRecyclebinClear(char* idx, char* didx, PROTO_STEP_CALLBACK callback, void* context,
                                   int maxSteps)
{
    // Emptying the bin goes on with the delete continuation.
    char more[] = "Y", stop[] = "N";
    int result = GetRecyclebinClear(idx, didx);
    for (int steps = 0; result == 0 && FileOpInfo.FileOpName[0]; ++steps) {
        if (steps >= maxSteps)
            return EndOperation(C_BIN_EMPTY);
        const bool goOn = !callback || callback(this, context);
        result = GetDeleteContinue(goOn ? more : stop);
        if (!goOn)
            break;
    }
    return result;
}

int CToviProto::RunPaste(char* sourceFolder, char* targetFolder, char* idx, char* didx, char* itemType,
                         char* action, char* conflictMode, char* confirm, PROTO_PASTE_CALLBACK callback,
                         void* context, int maxSteps)
{
    const int result = GetPaste(sourceFolder, targetFolder, idx, didx, itemType, action, conflictMode, confirm);
    return RunPasteSteps(result, conflictMode, callback, context, maxSteps);
}

int CToviProto::RunRecyclebinRestore(char* itemType, char* idx, char* didx, char* conflictMode,
                                     PROTO_PASTE_CALLBACK callback, void* context, int maxSteps)
{
    // A restore goes on with the paste continuations.
    const int result = GetRecyclebinRestore(itemType, idx, didx);
    return RunPasteSteps(result, conflictMode, callback, context, maxSteps);
}

int CToviProto::RunPasteSteps(int result, char* conflictMode, PROTO_PASTE_CALLBACK callback, void* context,
                              int maxSteps)
{
    char more[] = "Y", stop[] = "N";
    for (int steps = 0; result == 0; ++steps) {
        const bool question = PasteResult.nResultCode == kShareReleaseQuestion;
        if (!question && !FileOpInfo.FileOpName[0])
            return 0;
        if (steps >= maxSteps)
            return EndOperation(C_CP_MV);
        char mode[2] = {conflictMode && *conflictMode ? *conflictMode : '\0', '\0'};
        // Releasing a share is the user's decision: without a callback to ask, the answer is no.
        const bool goOn = callback ? callback(this, context, mode) : !question;
        mode[1] = 0;
        if (question)
            result = GetSharedReleaseContinue(goOn ? more : stop);
        else
            result = GetPasteContinue(goOn ? more : stop, mode);
        if (!goOn)
            break;
    }
    return result;
}

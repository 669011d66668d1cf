// CToviProto: a single guest of a folder, guest folders with a list of guests, and the guest
// password reset (G4-G8), with their continuation loops.
#include "ToviProto.h"
#include "ProtoFields.h"
#include "ProtoMoreCommands.h"
#include "ReplyFields.h"
#include <cstring>

using namespace protofield;
using namespace replyfield;

namespace {

void FillGuest(_PROTO_GUEST_USER_INFO& guest, unsigned char id, const std::string& value)
{
    switch (id) {
    case kEmail: CopyText(guest.szEmail, value); break;
    case kPermission: CopyText(guest.szPermission, value); break;
    case kGuestStatus: CopyText(guest.cStatus, value); break;
    case kDate: CopyText(guest.szDate, value); break;
    default: break;
    }
}

}

int CToviProto::GetGuestInfo(char* folder)
{
    ClearResult();
    // A reply without records must not leave another folder's guest in place.
    std::memset(&SharedInfo, 0, sizeof SharedInfo);
    ProtRecord record = SessionRecord();
    record[kIndex] = Text(folder);
    return SendRecords(C_GUEST_INFO, {record});
}

void CToviProto::ParseGuestReply(const _PROT& msg)
{
    for (const ProtRecord& record : msg.records) {
        std::memset(&SharedInfo, 0, sizeof SharedInfo);
        for (const auto& field : record) {
            const std::string& value = field.second;
            switch (field.first) {
            case kQuota: CopyText(SharedInfo.szGuestQuota, value); break;
            case kFreeQuota: CopyText(SharedInfo.szQuota, value); break;
            // The password travels in the ANSI code page, as with the folder share.
            case kSharePassword: WidenAnsi(SharedInfo.wszPassword, value); break;
            case kPeriodFrom: CopyText(SharedInfo.szPeriodFrom, value); break;
            case kPeriodTo: CopyText(SharedInfo.szPeriodTo, value); break;
            case kEmail: CopyText(SharedInfo.szEmail, value); break;
            case kPermission: CopyText(SharedInfo.szPermission, value); break;
            default: break;
            }
        }
    }
}

int CToviProto::SetGuestInfo(char* folder, int mode, _PROTO_SHARED_INFO* info)
{
    ClearResult();
    if (!info)
        return -1;
    const std::string name = EncodeUtf8(info->wszFolderName, 1024);
    if (name.empty())
        return -1;
    ProtRecord record = SessionRecord();
    record[kIndex] = Text(folder);
    record[kIsNew] = mode != 0 ? "Y" : "N";
    record[kName] = name;
    record[kQuota] = MemberText(info->szGuestQuota);
    record[kPeriodFrom] = MemberText(info->szPeriodFrom);
    record[kPeriodTo] = MemberText(info->szPeriodTo);
    record[kEmail] = MemberText(info->szEmail);
    record[kPermission] = MemberText(info->szPermission);
    return SendRecords(C_GUEST_SET, {record});
}

int CToviProto::GetGuestContinue(char* key)
{
    ClearResult();
    return SendContinuation(C_GUEST_SET, key, true);
}

void CToviProto::ParseGuestSetReply(const _PROT& msg)
{
    std::memset(ContinueFlag, 0, sizeof ContinueFlag);
    for (const ProtRecord& record : msg.records) {
        auto field = record.find(kContinue);
        if (field != record.end())
            CopyText(ContinueFlag, field->second);
    }
}

int CToviProto::GetGuestMultiInfo(char* folder)
{
    ClearResult();
    std::memset(&GuestFolderInfo, 0, sizeof GuestFolderInfo);
    ReleaseGuestUsers();
    ProtRecord record = SessionRecord();
    record[kIndex] = Text(folder);
    return SendRecords(C_GUEST_MULTI_INFO, {record});
}

void CToviProto::ReleaseGuestUsers()
{
    std::vector<_PROTO_GUEST_USER_INFO>().swap(GuestUsers);
}

void CToviProto::ParseGuestMultiReply(const _PROT& msg)
{
    for (size_t i = 0; i < msg.records.size(); ++i) {
        const ProtRecord& record = msg.records[i];
        if (i == 0) {
            std::memset(&GuestFolderInfo, 0, sizeof GuestFolderInfo);
            for (const auto& field : record) {
                const std::string& value = field.second;
                switch (field.first) {
                case kQuota: CopyText(GuestFolderInfo.szQuota, value); break;
                case kFreeQuota: CopyText(GuestFolderInfo.szFreeQuota, value); break;
                case kPeriodFrom: CopyText(GuestFolderInfo.szPeriodFrom, value); break;
                case kPeriodTo: CopyText(GuestFolderInfo.szPeriodTo, value); break;
                case kDate: CopyText(GuestFolderInfo.szDate, value); break;
                case kAttr70: CopyText(GuestFolderInfo.cFlag70, value); break;
                default: break;
                }
            }
            continue;
        }
        _PROTO_GUEST_USER_INFO guest;
        std::memset(&guest, 0, sizeof guest);
        for (const auto& field : record)
            FillGuest(guest, field.first, field.second);
        GuestUsers.push_back(guest);
    }
}

int CToviProto::SetGuestMultiInfo(char* folder, _PROTO_GUEST_FOLDER_INFO* info)
{
    ClearResult();
    std::memset(ContinueFlag, 0, sizeof ContinueFlag);
    std::memset(GuestMultiIdx, 0, sizeof GuestMultiIdx);
    if (!info)
        return -1;
    const std::string name = EncodeUtf8(info->wszFolderName, 1024);
    if (name.empty())
        return -1;
    std::vector<ProtRecord> records{SessionRecord()};
    ProtRecord& first = records[0];
    first[kIndex] = Text(folder);
    first[kIsNew] = MemberText(info->cMode);
    first[kName] = name;
    first[kQuota] = MemberText(info->szQuota);
    first[kPeriodFrom] = MemberText(info->szPeriodFrom);
    first[kPeriodTo] = MemberText(info->szPeriodTo);
    for (const _PROTO_GUEST_USER_INFO& guest : GuestUsers) {
        ProtRecord record;
        record[kEmail] = MemberText(guest.szEmail);
        record[kPermission] = MemberText(guest.szPermission);
        // A row the dialog has just added ("R") is an active guest to the server.
        record[kGuestStatus] = guest.cStatus[0] == 'R' ? "Y" : MemberText(guest.cStatus);
        record[kDate] = MemberText(guest.szDate);
        records.push_back(record);
    }
    return SendRecords(C_GUEST_MULTI_SET, std::move(records));
}

int CToviProto::GetGuestMultiContinue(char* key)
{
    ClearResult();
    return SendContinuation(C_GUEST_MULTI_SET, key, true);
}

void CToviProto::ParseGuestMultiSetReply(const _PROT& msg)
{
    // A reply without field 44 ends the loop instead of repeating the last answer.
    std::memset(ContinueFlag, 0, sizeof ContinueFlag);
    ReleaseGuestUsers();
    for (const ProtRecord& record : msg.records) {
        _PROTO_GUEST_USER_INFO guest;
        std::memset(&guest, 0, sizeof guest);
        for (const auto& field : record) {
            if (field.first == kContinue)
                CopyText(ContinueFlag, field.second);
            else if (field.first == kIndex)
                CopyText(GuestMultiIdx, field.second);
            else
                FillGuest(guest, field.first, field.second);
        }
        if (guest.szEmail[0])
            GuestUsers.push_back(guest);
    }
}

int CToviProto::SetGuestResetPWD(char* folder)
{
    ClearResult();
    ProtRecord record = SessionRecord();
    record[kIndex] = Text(folder);
    return SendRecords(C_GUEST_RESET_PWD, {record});
}

int CToviProto::SetGuestResetPWDContinue(char* key)
{
    ClearResult();
    // The connection of the reset request knows the session.
    return SendContinuation(C_GUEST_RESET_PWD, key, false);
}

void CToviProto::ParseGuestPasswordReply(const _PROT& msg)
{
    // Cleared first, like the other guest replies: a reply without field 44 ends the loop.
    std::memset(ContinueFlag, 0, sizeof ContinueFlag);
    for (const ProtRecord& record : msg.records) {
        auto field = record.find(kContinue);
        if (field != record.end())
            CopyText(ContinueFlag, field->second);
    }
}

int CToviProto::RunGuestSteps(int result, uint16_t command, int (CToviProto::*next)(char*), int maxSteps)
{
    char more[] = "Y";
    for (int steps = 0; result == 0 && ContinueFlag[0] == 'Y'; ++steps) {
        if (steps >= maxSteps)
            return EndOperation(command);
        result = (this->*next)(more);
    }
    return result;
}

int CToviProto::RunGuestSet(char* folder, int mode, _PROTO_SHARED_INFO* info, int maxSteps)
{
    return RunGuestSteps(SetGuestInfo(folder, mode, info), C_GUEST_SET, &CToviProto::GetGuestContinue, maxSteps);
}

int CToviProto::RunGuestMultiSet(char* folder, _PROTO_GUEST_FOLDER_INFO* info, int maxSteps)
{
    return RunGuestSteps(SetGuestMultiInfo(folder, info), C_GUEST_MULTI_SET, &CToviProto::GetGuestMultiContinue,
                         maxSteps);
}

int CToviProto::RunGuestResetPWD(char* folder, int maxSteps)
{
    return RunGuestSteps(SetGuestResetPWD(folder), C_GUEST_RESET_PWD, &CToviProto::SetGuestResetPWDContinue,
                         maxSteps);
}

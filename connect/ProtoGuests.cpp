// CToviProto: a single guest of a folder, guest folders with a list of guests, and the guest
// password reset (G4-G8), with their continuation loops.
#include "ToviProto.h"
#include "ProtoMoreCommands.h"
#include "ReplyFields.h"
#include <cstring>

using namespace replyfield;

namespace {

void FillGuest(_PROTO_GUEST_USER_INFO& guest, unsigned char id, const std::string& value)
{
    switch (id) {
    case 193: CopyText(guest.szEmail, value); break;
    case 5: CopyText(guest.szPermission, value); break;
    case 47: CopyText(guest.cStatus, value); break;
    case 13: CopyText(guest.szDate, value); break;
    default: break;
    }
}

}

int CToviProto::GetGuestInfo(char* folder)
{
    ClearResult();
    // A reply without records must not leave another folder's guest in place.
    std::memset(&SharedInfo, 0, sizeof SharedInfo);
    ProtRecord record;
    record[171] = MemberText(LoginInfo.SessionId);
    record[173] = Text(folder);
    return SendRecords(C_GUEST_INFO, {record});
}

void CToviProto::ParseGuestReply(const _PROT& msg)
{
    for (const ProtRecord& record : msg.records) {
        std::memset(&SharedInfo, 0, sizeof SharedInfo);
        for (const auto& field : record) {
            const std::string& value = field.second;
            switch (field.first) {
            case 190: CopyText(SharedInfo.szGuestQuota, value); break;
            case 207: CopyText(SharedInfo.szQuota, value); break;
            // The password travels in the ANSI code page, as with the folder share.
            case 198: WidenAnsi(SharedInfo.wszPassword, value); break;
            case 11: CopyText(SharedInfo.szPeriodFrom, value); break;
            case 12: CopyText(SharedInfo.szPeriodTo, value); break;
            case 193: CopyText(SharedInfo.szEmail, value); break;
            case 5: CopyText(SharedInfo.szPermission, value); break;
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
    ProtRecord record;
    record[171] = MemberText(LoginInfo.SessionId);
    record[173] = Text(folder);
    record[39] = mode != 0 ? "Y" : "N";
    record[181] = name;
    record[190] = MemberText(info->szGuestQuota);
    record[11] = MemberText(info->szPeriodFrom);
    record[12] = MemberText(info->szPeriodTo);
    record[193] = MemberText(info->szEmail);
    record[5] = MemberText(info->szPermission);
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
        auto field = record.find(44);
        if (field != record.end())
            CopyText(ContinueFlag, field->second);
    }
}

int CToviProto::GetGuestMultiInfo(char* folder)
{
    ClearResult();
    std::memset(&GuestFolderInfo, 0, sizeof GuestFolderInfo);
    ReleaseGuestUsers();
    ProtRecord record;
    record[171] = MemberText(LoginInfo.SessionId);
    record[173] = Text(folder);
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
                case 190: CopyText(GuestFolderInfo.szQuota, value); break;
                case 207: CopyText(GuestFolderInfo.szFreeQuota, value); break;
                case 11: CopyText(GuestFolderInfo.szPeriodFrom, value); break;
                case 12: CopyText(GuestFolderInfo.szPeriodTo, value); break;
                case 13: CopyText(GuestFolderInfo.szDate, value); break;
                case 70: CopyText(GuestFolderInfo.cFlag70, value); break;
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
    std::vector<ProtRecord> records(1);
    ProtRecord& first = records[0];
    first[171] = MemberText(LoginInfo.SessionId);
    first[173] = Text(folder);
    first[39] = MemberText(info->cMode);
    first[181] = name;
    first[190] = MemberText(info->szQuota);
    first[11] = MemberText(info->szPeriodFrom);
    first[12] = MemberText(info->szPeriodTo);
    for (const _PROTO_GUEST_USER_INFO& guest : GuestUsers) {
        ProtRecord record;
        record[193] = MemberText(guest.szEmail);
        record[5] = MemberText(guest.szPermission);
        // A row the dialog has just added ("R") is an active guest to the server.
        record[47] = guest.cStatus[0] == 'R' ? "Y" : MemberText(guest.cStatus);
        record[13] = MemberText(guest.szDate);
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
            if (field.first == 44)
                CopyText(ContinueFlag, field.second);
            else if (field.first == 173)
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
    ProtRecord record;
    record[171] = MemberText(LoginInfo.SessionId);
    record[173] = Text(folder);
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
        auto field = record.find(44);
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

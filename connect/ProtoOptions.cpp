// CToviProto, server options and lists: the option block (A1), the domain list with the
// connection options (A2), the samba options (A3), the update-check list (A4) and the
// language list (A5).
#include "ToviProto.h"
#include "ProtoCommands.h"
#include "ProtoFields.h"
#include "ReplyFields.h"
#include "TraceLog.h"
#include <cstddef>
#include <cstdlib>
#include <cstring>

using namespace protofield;
using namespace replyfield;

namespace {

enum class SlotKind { Text, Utf8, Ansi };

struct OptionSlot {
    unsigned char id;
    size_t offset;
    size_t width;       // bytes for texts, units for wide slots
    SlotKind kind;
};

#define OPT_TEXT(id, member) {id, offsetof(_OPTION_INFO, member), sizeof(_OPTION_INFO::member), SlotKind::Text}
#define OPT_WIDE(id, member, kind) \
    {id, offsetof(_OPTION_INFO, member), sizeof(_OPTION_INFO::member) / sizeof(wchar_t), kind}

const OptionSlot kOptionSlots[] = {
    OPT_TEXT(5, Attr5), OPT_TEXT(172, SessionInterval), OPT_TEXT(224, AlertInterval), OPT_TEXT(210, Attr210),
    OPT_WIDE(211, Attr211, SlotKind::Utf8), OPT_WIDE(212, Telephone, SlotKind::Utf8), OPT_TEXT(213, Attr213),
    OPT_TEXT(214, Attr214), OPT_WIDE(215, Attr215, SlotKind::Ansi), OPT_TEXT(56, Attr56), OPT_TEXT(57, Attr57),
    OPT_TEXT(83, Attr83), OPT_TEXT(37, Attr37), OPT_TEXT(199, Attr199), OPT_TEXT(31, Attr31), OPT_TEXT(61, Attr61),
    OPT_TEXT(80, Attr80), OPT_TEXT(81, Attr81), OPT_TEXT(48, Draft), OPT_TEXT(49, Approval), OPT_TEXT(58, Attr58),
    OPT_TEXT(59, Attr59), OPT_TEXT(60, Attr60), OPT_TEXT(165, Attr165), OPT_TEXT(63, Attr63),
    OPT_TEXT(64, UseOnlineHelp), OPT_WIDE(163, DrmIcon, SlotKind::Utf8), OPT_TEXT(65, MultiGuest),
    OPT_TEXT(66, Attr66), OPT_TEXT(67, Attr67), OPT_TEXT(194, Attr194), OPT_TEXT(68, Attr68), OPT_TEXT(13, Attr13),
    OPT_TEXT(14, Attr14), OPT_TEXT(69, Attr69), OPT_TEXT(195, Attr195), OPT_TEXT(162, LinkDownloadLimit),
    OPT_TEXT(161, SysIdleTime), OPT_TEXT(71, Attr71), OPT_TEXT(15, Attr15), OPT_TEXT(16, Attr16),
    OPT_WIDE(160, ManualUrl, SlotKind::Ansi), OPT_WIDE(228, UploadResultMsg, SlotKind::Utf8), OPT_TEXT(74, Attr74),
    OPT_TEXT(159, Factor), OPT_TEXT(156, Attr156), OPT_TEXT(77, Attr77), OPT_TEXT(78, Attr78), OPT_TEXT(82, Attr82),
    OPT_TEXT(84, Attr84), OPT_TEXT(154, Attr154), OPT_TEXT(92, Attr92), OPT_TEXT(94, UserFileLimited),
    OPT_TEXT(138, PrivacyModel), OPT_TEXT(95, DirectEdit), OPT_TEXT(96, DbClickDirectEdit),
    OPT_TEXT(97, DbClickNoAction), OPT_TEXT(98, DisableShareWrite), OPT_TEXT(135, UploadClose),
    OPT_TEXT(136, DownloadClose), OPT_TEXT(198, PwMustUse), OPT_TEXT(99, UseShortcut), OPT_TEXT(201, UseReceivedCnt),
    OPT_TEXT(133, SubOption),
};

#undef OPT_TEXT
#undef OPT_WIDE

constexpr unsigned char kContextMenuField = 140;
constexpr size_t kContextMenuUnits = 1024;
constexpr int kContextSections = 5;

void StoreOption(_OPTION_INFO& options, const OptionSlot& slot, const std::string& value)
{
    unsigned char* base = reinterpret_cast<unsigned char*>(&options) + slot.offset;
    switch (slot.kind) {
    case SlotKind::Text:
        CopyText(reinterpret_cast<char*>(base), slot.width, value);
        break;
    case SlotKind::Utf8:
        DecodeUtf8(reinterpret_cast<wchar_t*>(base), slot.width, value);
        break;
    case SlotKind::Ansi:
        WidenAnsi(reinterpret_cast<wchar_t*>(base), slot.width, value);
        break;
    }
}

void CopyWideText(wchar_t* dest, size_t capacity, const CString& text)
{
    std::memset(dest, 0, capacity * sizeof(wchar_t));
    const size_t length = static_cast<size_t>(text.GetLength()) < capacity - 1 ? static_cast<size_t>(text.GetLength())
                                                                                : capacity - 1;
    std::wmemcpy(dest, text.GetString(), length);
}

}

int CToviProto::GetDomainInfo()
{
    ReleaseDomainInfo();
    ClearResult();
    std::memset(ServerIn, 0, sizeof ServerIn);
    std::memset(ServerOut, 0, sizeof ServerOut);
    _PROT msg;
    NewMessage(msg, C_DOMAIN_LIST);
    return Request(msg);
}

void CToviProto::ParseDomainReply(const _PROT& msg)
{
    // Empty fields never travel: a server that turned its web log-in off leaves the flag out,
    // and the one of an earlier reply must not stay.
    std::memset(WebLogin, 0, sizeof WebLogin);
    for (const ProtRecord& record : msg.records) {
        DomainEntry entry = {};
        for (const auto& field : record) {
            const std::string& value = field.second;
            switch (field.first) {
            case kDomainIndex: CopyText(entry.DomainIndex, value); break;
            case kDomainLabel: DecodeUtf8(entry.DomainLabel, value); break;
            case kDomainAddress: CopyText(entry.DomainAddress, value); break;
            case kMainTitle: DecodeUtf8(entry.DomainMainTitle, value); break;
            case kMessageTitle: DecodeUtf8(entry.DomainMessageTitle, value); break;
            case kCustomerCode: {
                wchar_t code[64];
                DecodeUtf8(code, value);
                if (code[0])
                    CustomerCode = code;
                break;
            }
            case kServerVersion: CopyText(ServerVersionInfo, value); break;
            case kWebLogin: CopyText(WebLogin, value); break;
            case kConnectTimeout: CopyText(ConnectTimeout, value); break;
            case kSocketTimeout: CopyText(SocketTimeout, value); break;
            case kRetryTimeout: CopyText(RetryTimeout, value); break;
            case kRetryCount: CopyText(RetryCount, value); break;
            case kServerIn: CopyText(ServerIn, value); break;
            case kServerOut: CopyText(ServerOut, value); break;
            case kLoginOption: CopyText(LoginOption, value); break;
            case kTitlebarColor: CopyText(TitlebarColor, value); break;
            case kUpdateUrl: CopyText(UpdateUrl, value); break;
            case kAdDomain: CopyText(AdDomain, value); break;
            default: break;
            }
        }
        if (entry.DomainIndex[0])
            DomainInfo.push_back(entry);
    }
    for (size_t i = 0; i < DomainInfo.size(); ++i) {
        const DomainEntry& entry = DomainInfo[i];
        TraceLog(TRACE_SEND,
                 L"\n*************************************** [ DOMAIN_LIST %d ] ***************************************\n"
                 L"- D-IDX = %S\n- D-NAME = %s\n- D-Addr = %S\n- MAIN Title = %s\n- Message Title = %s\n",
                 static_cast<int>(i), entry.DomainIndex, entry.DomainLabel, entry.DomainAddress, entry.DomainMainTitle,
                 entry.DomainMessageTitle);
    }
    TraceLog(TRACE_SEND,
             L"\n*************************************** [ DOMAIN_LIST : OPT ]***************************************\n"
             L"- CUSTOM FLAG = %s\n- VERSION_INFO = %S\n- CONNECT TIMEOUT = %S\n- SOCKET TIMEOUT = %S\n"
             L"- RETRY TIMEOUT = %S\n- RETRY CNT = %S\n- SERVER_IN = %S\n- SERVER_OUT = %S\n- WEB LOGIN = %S\n"
             L"- LOGIN OPTION = %S\n- TITLEBAR_COLOR = %S\n- UPDATE_URL = %S\n- AD_DOMAIN = %S\n",
             CustomerCode.GetString(), ServerVersionInfo, ConnectTimeout, SocketTimeout, RetryTimeout, RetryCount,
             ServerIn, ServerOut, WebLogin, LoginOption, TitlebarColor, UpdateUrl, AdDomain);
}

int CToviProto::GetOption()
{
    ClearResult();
    std::memset(&OptionInfo, 0, sizeof OptionInfo);
    _PROT msg;
    NewMessage(msg, C_OPTION);
    return Request(msg);
}

void CToviProto::ParseOptionReply(const _PROT& msg)
{
    for (const ProtRecord& record : msg.records) {
        for (const auto& field : record) {
            if (field.first == kContextMenuField) {
                wchar_t text[kContextMenuUnits];
                DecodeUtf8(text, field.second);
                ParsingContextStr(text);
                continue;
            }
            for (const OptionSlot& slot : kOptionSlots) {
                if (slot.id == field.first) {
                    StoreOption(OptionInfo, slot, field.second);
                    break;
                }
            }
        }
    }
    TraceLog(TRACE_SEND,
             L"\n*************************************** [ OPTION ] ***************************************\n"
             L"- PRIVACY MODEL = %S\n- DIRECT EDIT = %S\n- DRAFT = %S\n- APPROVAL = %S\n- MANUAL_URL = %s\n"
             L"- USE_ONLINE_HELP = %S\n- DBCLICK_DIRECTEDIT = %S\n- SYS_IDLE_TIME = %d\n- UPLOAD_CLOSE = %S\n"
             L"- DOWNLOAD_CLOSE = %S\n- PW_MUST_USE = %S\n- USER_FILE_LIMITIED = %S\n- UPLOAD_RESULT_MSG = %s\n"
             L"- SUB OPTION = %S\n- DBCLICK_NO_ACTION = %S\n-DISABLE_SHARE_WRITE = %S\n",
             OptionInfo.PrivacyModel, OptionInfo.DirectEdit, OptionInfo.Draft, OptionInfo.Approval, OptionInfo.ManualUrl,
             OptionInfo.UseOnlineHelp, OptionInfo.DbClickDirectEdit, std::atoi(OptionInfo.SysIdleTime),
             OptionInfo.UploadClose, OptionInfo.DownloadClose, OptionInfo.PwMustUse, OptionInfo.UserFileLimited,
             OptionInfo.UploadResultMsg, OptionInfo.SubOption, OptionInfo.DbClickNoAction, OptionInfo.DisableShareWrite);
    TraceLog(TRACE_SEND, L"\n-FACTOR = %S\n-USE SHORTCUT =%S\n-USE RECEIVED CNT = %S\n-DRM_ICON = %s\n",
             OptionInfo.Factor, OptionInfo.UseShortcut, OptionInfo.UseReceivedCnt, OptionInfo.DrmIcon);
}

void CToviProto::ParsingContextStr(CString text)
{
    for (_CONTEXT_MENU_ENTRY& entry : OptionInfo.ContextMenu)
        std::memset(&entry, 0, sizeof entry);

    // Sections are "#"-separated; the first empty one ends the list.
    CString sections[kContextSections];
    int count = 0;
    int start = 0;
    while (count < kContextSections) {
        int end = text.Find(L'#', start);
        CString section = end < 0 ? text.Mid(start) : text.Mid(start, end - start);
        if (section.IsEmpty())
            break;
        sections[count] = section;
        CopyWideText(OptionInfo.ContextMenu[count].Section, 1024, section);
        ++count;
        if (end < 0)
            break;
        start = end + 1;
    }
    const _CONTEXT_MENU_ENTRY* menu = OptionInfo.ContextMenu;
    TraceLog(TRACE_SEND,
             L" [ ParsingContextStr ] CONTEXT MENU STRING! \n < APPOVAL REQUEST > : %s\n < APPROVAL REQUEST OUT > : %s\n"
             L"< APPROVAL REQUEST ENC > : %s\n < NETWORK TRANSFER > :%s\n < FILE TRANSFER > :%s\n",
             menu[0].Section, menu[1].Section, menu[2].Section, menu[3].Section, menu[4].Section);

    // Each section is "first$second$third"; the first empty token ends all further splitting.
    int tokens = 0;
    bool stopped = false;
    for (int i = 0; i < count && !stopped; ++i) {
        _CONTEXT_MENU_ENTRY& entry = OptionInfo.ContextMenu[i];
        wchar_t* slots[3] = {entry.Token1, entry.Token2, entry.Token3};
        int at = 0;
        for (int t = 0; t < 3; ++t) {
            const int end = at < 0 ? -1 : sections[i].Find(L'$', at);
            const CString token =
                at < 0 ? CString() : (end < 0 ? sections[i].Mid(at) : sections[i].Mid(at, end - at));
            if (token.IsEmpty()) {
                stopped = true;
                break;
            }
            CopyWideText(slots[t], 256, token);
            ++tokens;
            at = end < 0 ? -1 : end + 1;
        }
    }
    if (tokens == 3 * kContextSections) {
        static const wchar_t* const kLines[kContextSections] = {
            L" 결재요청 : [ %s  /  %s  /  %s ]", L" 결재요청 Out : [ %s  /  %s  /  %s ]",
            L" 결재요청 ENC : [ %s  /  %s  /  %s ]", L" 망간파일전송 : [ %s  /  %s  /  %s ]",
            L" 파일전송 : [ %s  /  %s  /  %s ]"};
        for (int i = 0; i < kContextSections; ++i)
            TraceLog(TRACE_SEND, kLines[i], menu[i].Token1, menu[i].Token2, menu[i].Token3);
    }
}

int CToviProto::GetSambaOption()
{
    ClearResult();
    _PROT msg;
    NewMessage(msg, C_SAMBA_OPTION);
    return Request(msg);
}

void CToviProto::ParseSambaReply(const _PROT& msg)
{
    std::memset(&SambaOption, 0, sizeof SambaOption);
    for (const ProtRecord& record : msg.records) {
        for (const auto& field : record) {
            if (field.first == kAttr225)
                DecodeUtf8(SambaOption.Attr225, field.second);
            else if (field.first == kAttr55)
                CopyText(SambaOption.Attr55, field.second);
            else if (field.first == kSessionInterval)
                CopyText(SambaOption.Attr172, field.second);
        }
    }
}

int CToviProto::GetUpdateCheck(char* clientKind)
{
    ReleaseUpdateCheck();
    ClearResult();
    ProtRecord record;
    record[kClientKind] = Text(clientKind);
    return SendRecords(C_CLI_VER, {record});
}

void CToviProto::ParseUpdateCheckReply(const _PROT& msg)
{
    ResultInfo.nReplyCmd = C_CLI_VER;
    for (const ProtRecord& record : msg.records) {
        _UPDATE_CHECK item = {};
        for (const auto& field : record) {
            if (field.first == kName)
                DecodeUtf8(item.FileName, field.second);
            else if (field.first == kFileVersion)
                DecodeUtf8(item.Version, field.second);
            else if (field.first == kFileHash)
                DecodeUtf8(item.Hash, field.second);
            else if (field.first == kUpdatePort)
                DecodeUtf8(UpdatePort, field.second);
        }
        // A record that names no file (the port alone) is nothing to check.
        if (item.FileName[0])
            UpdateCheck.push_back(item);
    }
}

int CToviProto::GetLanguageInfo()
{
    ReleaseLanguageInfo();
    ClearResult();
    _PROT msg;
    NewMessage(msg, C_LANG_LIST);
    return Request(msg);
}

void CToviProto::ParseLanguageReply(const _PROT& msg)
{
    for (const ProtRecord& record : msg.records) {
        wchar_t name[8] = {};
        auto field = record.find(kLanguage);
        if (field != record.end())
            DecodeUtf8(name, field->second);
        LanguageInfo.push_back(CString(name));
    }
}

void CToviProto::ReleaseDomainInfo()
{
    std::vector<DomainEntry>().swap(DomainInfo);
}

void CToviProto::ReleaseUpdateCheck()
{
    std::vector<_UPDATE_CHECK>().swap(UpdateCheck);
}

void CToviProto::ReleaseLanguageInfo()
{
    std::vector<CString>().swap(LanguageInfo);
}

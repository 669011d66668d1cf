// The stand-in main window's conversation with the server.
#include "DemoSession.h"
#include "ToviRegistry.h"
#include <cstdlib>
#include <cstring>

namespace {

// A listing asks for the next page while the server says there is more; a server that never
// stops is cut off here.
const int kMaxPages = 1000;

DemoItem ToItem(const _PROTO_FOLDER_INFO& info)
{
    DemoItem item;
    item.name = info.Name;
    item.folder = std::strcmp(info.ItemType, "D") == 0;
    item.size = item.folder ? 0 : _atoi64(info.Attr192);
    item.date = info.Attr188;
    item.idx = info.IDX;
    item.didx = info.DIDX;
    return item;
}

}

DemoOutcome CDemoSession::Open(const CString& domain, const CString& user, const CString& password,
                               const char* languageCode)
{
    char host[256] = {};
    char debugLevel[256] = {};
    int port = -1;
    m_haveAddress = CToviRegistry::GetServerAddress(PRODUCT_EXPLORER, host, &port, debugLevel, nullptr) &&
                    host[0] != '\0' && port > 0 && port < 65536;
    if (!m_haveAddress)
        return Failure(DemoStage::Address, 0);
    char* target = m_proto.ServerAddress.szHost;
    const size_t length = strnlen(host, sizeof m_proto.ServerAddress.szHost - 1);
    std::memcpy(target, host, length);
    target[length] = '\0';
    m_proto.ServerAddress.nPort = port;
    m_proto.NoTimerFlag = 1;

    const int secure = m_proto.GetSecureCode(nullptr, m_proto.ServerAddress.szHost, port,
                                             m_proto.ServerAddress.szCode, PROT_CMD('B', '0'));
    if (secure != 0)
        return Failure(DemoStage::Connect, secure);
    m_cipher = m_proto.GetCipherName();
    if (user.IsEmpty())
        return DemoOutcome();

    const int login = m_proto.GetLoginInfo(domain, user, password, const_cast<char*>(languageCode),
                                           const_cast<char*>("N"), const_cast<char*>("2"), false, CString(),
                                           nullptr);
    if (login != 0)
        return Failure(DemoStage::LogIn, login);
    m_loggedIn = true;
    return List("0", "0");
}

DemoOutcome CDemoSession::List(const std::string& idx, const std::string& didx)
{
    DemoOutcome outcome;
    for (int page = 0; page < kMaxPages; ++page) {
        const int result = m_proto.GetFolderInfo(const_cast<char*>(idx.c_str()), const_cast<char*>(didx.c_str()),
                                                 nullptr, false, page == 0);
        if (result != 0)
            return Failure(DemoStage::List, result);
        if (std::strcmp(m_proto.ContinueFlag, "Y") != 0)
            break;
    }
    for (const _PROTO_FOLDER_INFO& info : m_proto.FolderInfo) {
        // A folder's own record (its counts for the change check) has no item type.
        if (info.ItemType[0] != '\0')
            outcome.items.push_back(ToItem(info));
    }
    m_proto.ReleaseFolderInfo();
    return outcome;
}

void CDemoSession::Close()
{
    if (m_loggedIn)
        m_proto.GetLogoutInfo();
    m_loggedIn = false;
    m_proto.CloseSocket();
}

CString CDemoSession::Server() const
{
    if (!m_haveAddress)
        return CString();
    CString text;
    text.Format(L"%S:%d", m_proto.ServerAddress.szHost, m_proto.ServerAddress.nPort);
    return text;
}

DemoOutcome CDemoSession::Failure(DemoStage stage, int code) const
{
    DemoOutcome outcome;
    outcome.stage = stage;
    outcome.code = code;
    if (stage != DemoStage::Address) {
        outcome.message = m_proto.ResultInfo.wszMessage;
        // A refusal carries the server's own code; -1 only says that the request failed.
        if (code == -1 && m_proto.ResultInfo.nResultCode > 0)
            outcome.code = m_proto.ResultInfo.nResultCode;
    }
    return outcome;
}

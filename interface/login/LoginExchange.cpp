// The log-in exchange shared by the log-in windows.
#include "LoginExchange.h"
#include "ChangePwdDlg.h"
#include "ConfigDlg.h"
#include "FileUtils.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviRegistry.h"
#include <cstdint>
#include <cstring>
#include <vector>

namespace loginflow {

namespace {

const wchar_t kCaption[] = L"CorvaneIXO";
const unsigned kLoggedInElsewhere = 2210;

}

Outcome LogIn(CWnd* window, CToviProto* proto, const Request& request, const std::function<void(bool)>& busy,
              int* error)
{
    char language[4] = {};
    std::strncpy(language, request.language ? request.language : "ko", sizeof language - 1);
    char force[2] = "N";
    char clientKind[2] = {request.product == 2 ? '7' : '2', '\0'};
    for (;;) {
        const int connected =
            proto->GetSecureCode(window->GetSafeHwnd(), proto->ServerAddress.szHost, proto->ServerAddress.nPort,
                                 proto->ServerAddress.szCode, static_cast<uint16_t>(('B' << 8) | '0'));
        if (connected != 0) {
            proto->CloseSocket();
            busy(false);
            if (error)
                *error = connected;
            return Outcome::NoConnection;
        }
        char storedSession[33] = {};
        CToviRegistry::GetSessionID(0, storedSession, sizeof storedSession);
        const int result =
            proto->GetLoginInfo(request.domainIndex, request.userId, request.password, language, force, clientKind,
                                request.singleSignOn, CFileUtils::GetMacList(), storedSession);
        if (result == 0)
            return Outcome::LoggedIn;
        busy(false);
        if (result == static_cast<int>(kLoggedInElsewhere)) {
            if (CFileUtils::ToviMessageBox(window, proto->ResultInfo.wszMessage, kCaption,
                                           MB_YESNO | MB_ICONEXCLAMATION) == IDYES) {
                force[0] = 'Y';
                busy(true);
                continue;
            }
        } else {
            CFileUtils::ToviMessageBox(window,
                                       proto->ResultInfo.wszMessage[0] ? CString(proto->ResultInfo.wszMessage)
                                                                       : CToviMsg::GetString(12070),
                                       kCaption, MB_ICONSTOP);
        }
        return Outcome::Refused;
    }
}

bool OfferSettings(CWnd* window, CToviProto* proto)
{
    if (CFileUtils::ToviMessageBox(window, CToviMsg::GetString(12070), kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    CConfigDlg config(window);
    config.m_pProto = proto;
    std::memcpy(config.m_connectTimeout, proto->ConnectTimeout, sizeof config.m_connectTimeout);
    std::memcpy(config.m_socketTimeout, proto->SocketTimeout, sizeof config.m_socketTimeout);
    return config.DoModal() == IDOK;
}

bool SettleResetPassword(CWnd* window, CToviProto* proto, CString* newPassword)
{
    const char reset = proto->LoginInfo.ResetPassword[0];
    if (reset == 'N' || reset == '\0')
        return true;
    CChangePwdDlg change(window);
    change.m_pProto = proto;
    // A value other than "Y" means the current password is not asked for.
    change.m_bCurrentLocked = reset != 'Y';
    if (change.DoModal() != IDOK)
        return false;
    if (newPassword)
        *newPassword = change.m_strNewPassword;
    return true;
}

namespace {

void PinDomains(std::vector<DomainEntry>& domains, const char* host, int port)
{
    for (DomainEntry& entry : domains) {
        std::memset(entry.ServerHost, 0, sizeof entry.ServerHost);
        std::strncpy(entry.ServerHost, host, sizeof entry.ServerHost - 1);
        entry.ServerPort = port;
    }
}

}

void JoinOutsideDomains(CToviProto* proto, const char* inHost, int inPort, const char* outHost, int outPort,
                        const char* setUpCode)
{
    PinDomains(proto->DomainInfo, inHost, inPort);
    CToviProto outside;
    std::strncpy(outside.ServerAddress.szHost, outHost, sizeof outside.ServerAddress.szHost - 1);
    outside.ServerAddress.strCallerText = CString(outHost);
    outside.ServerAddress.nPort = outPort;
    std::strncpy(outside.ServerAddress.szCode, setUpCode, sizeof outside.ServerAddress.szCode - 1);
    std::memcpy(outside.ConnectTimeout, proto->ConnectTimeout, sizeof outside.ConnectTimeout);
    std::memcpy(outside.SocketTimeout, proto->SocketTimeout, sizeof outside.SocketTimeout);
    if (outside.GetDomainInfo() == 0) {
        PinDomains(outside.DomainInfo, outHost, outPort);
        proto->DomainInfo.insert(proto->DomainInfo.end(), outside.DomainInfo.begin(), outside.DomainInfo.end());
    }
    outside.CloseSocket();
}

}

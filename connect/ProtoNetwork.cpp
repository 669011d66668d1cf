// CToviProto, the network around the connection: the system's connection state and this
// computer's address.
#include <winsock2.h>
#include "ToviProto.h"
#include "ProtoNetwork.h"
#include "TraceLog.h"
#include <wininet.h>

namespace {
CNetworkFacts* g_installedFacts = nullptr;
}

CNetworkFacts& CNetworkFacts::Current()
{
    static CNetworkFacts real;
    return g_installedFacts != nullptr ? *g_installedFacts : real;
}

CNetworkFacts* CNetworkFacts::Install(CNetworkFacts* facts)
{
    CNetworkFacts* previous = g_installedFacts;
    g_installedFacts = facts;
    return previous;
}

BOOL CNetworkFacts::ConnectedState(DWORD* flags)
{
    return ::InternetGetConnectedState(flags, 0);
}

bool CToviProto::CheckNetwork()
{
    DWORD state = 0;
    if (!CNetworkFacts::Current().ConnectedState(&state) && state == 0) {
        TraceLog(TRACE_SEND, L"[ CToviProto::CheckNetwork ] InternetGetConnectedState Fail\n");
        return false;
    }
    struct Name {
        DWORD flag;
        const wchar_t* line;
    };
    static const Name kNames[] = {
        {INTERNET_CONNECTION_MODEM, L"[ CToviProto::CheckNetwork ] INTERNET_CONNECTION_MODEM\n"},
        {INTERNET_CONNECTION_LAN, L"[ CToviProto::CheckNetwork ] INTERNET_CONNECTION_LAN\n"},
        {INTERNET_CONNECTION_PROXY, L"[ CToviProto::CheckNetwork ] INTERNET_CONNECTION_PROXY\n"},
        {INTERNET_CONNECTION_MODEM_BUSY, L"[ CToviProto::CheckNetwork ] INTERNET_CONNECTION_MODEM_BUSY\n"},
        {INTERNET_RAS_INSTALLED, L"[ CToviProto::CheckNetwork ] INTERNET_RAS_INSTALLED\n"},
        {INTERNET_CONNECTION_OFFLINE, L"[ CToviProto::CheckNetwork ] INTERNET_CONNECTION_OFFLINE\n"},
        {INTERNET_CONNECTION_CONFIGURED, L"[ CToviProto::CheckNetwork ] INTERNET_CONNECTION_CONFIGURED\n"},
    };
    for (const Name& name : kNames) {
        if (state & name.flag)
            TraceLog(TRACE_SEND, name.line);
    }
    return (state & (INTERNET_CONNECTION_MODEM | INTERNET_CONNECTION_LAN | INTERNET_CONNECTION_PROXY)) != 0;
}

CString CToviProto::GetLocalAddress()
{
    CString address;
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return address;
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) == 0) {
        hostent* entry = gethostbyname(name);
        if (entry && entry->h_addrtype == AF_INET && entry->h_addr_list[0]) {
            in_addr first;
            memcpy(&first, entry->h_addr_list[0], sizeof first);
            if (const char* text = inet_ntoa(first))
                address = CString(text);
        }
    }
    WSACleanup();
    return address;
}

// The system's network state as CToviProto::CheckNetwork asks for it, behind one replaceable
// provider so that tests can play any connection state (Wine always reports a LAN).
//
// CNetworkFacts itself asks the running system. A test derives from it, overrides the query and
// installs its object with Install for as long as it runs; the caller keeps ownership. Not
// locked: install before the code under test starts threads.
#pragma once
#include "ToviConnectApi.h"
#include <windows.h>

class TOVICONNECT_API CNetworkFacts {
public:
    CNetworkFacts() {}
    virtual ~CNetworkFacts() {}
    CNetworkFacts(const CNetworkFacts&) = delete;
    CNetworkFacts& operator=(const CNetworkFacts&) = delete;

    // The installed provider, else the real system.
    static CNetworkFacts& Current();
    // Installs facts (null restores the real system) and returns the one it replaces.
    static CNetworkFacts* Install(CNetworkFacts* facts);

    // InternetGetConnectedState as it is.
    virtual BOOL ConnectedState(DWORD* flags);
};

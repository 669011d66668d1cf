// IRegistrationTrigger of Task Scheduler 2.0, which the MinGW-w64 taskschd.h leaves out:
// a trigger that starts the task when it is registered, after an optional delay.
#pragma once
#include <windows.h>
#include <taskschd.h>

// {4C8FEC3A-C218-4E0C-B23D-629024DB91A2}
static const IID IID_IRegistrationTriggerTovi = {
    0x4c8fec3a, 0xc218, 0x4e0c, { 0xb2, 0x3d, 0x62, 0x90, 0x24, 0xdb, 0x91, 0xa2 } };

MIDL_INTERFACE("4c8fec3a-c218-4e0c-b23d-629024db91a2")
IRegistrationTrigger : public ITrigger
{
    virtual HRESULT STDMETHODCALLTYPE get_Delay(BSTR* delay) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Delay(BSTR delay) = 0;
};
#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(IRegistrationTrigger, 0x4c8fec3a, 0xc218, 0x4e0c, 0xb2, 0x3d, 0x62, 0x90, 0x24, 0xdb, 0x91, 0xa2)
#endif

// The check a customer's document-management component makes before a file goes up: files in
// its work area may only leave through its check-out, which hands back a link file to upload
// in their place. Only one site has the component; every other site uploads as it is.
#pragma once
#include "ToviInterfaceApi.h"
#include "Strings.h"

// What the upload needs of the component. The real one is a COM object; tests put their own.
class TOVIINTERFACE_API CUploadEcm {
public:
    virtual ~CUploadEcm() = default;
    // The external storage drive's root and the work-area drive's root; empty when unknown.
    virtual CString ExternalRoot() = 0;
    virtual CString WorkRoot() = 0;
    // Asks to check a file out. kind "F" refuses with text; otherwise status "DO0" with a
    // replacement path allows it. False when the component could not be asked at all.
    virtual bool CheckOut(const CString& path, CString& kind, CString& replacement, CString& status,
                          CString& text) = 0;

    // The component of this machine, or null when it is not installed. Called on a thread
    // that initialised COM; the caller deletes it.
    static CUploadEcm* Create();
    // What Create makes: the COM component by default.
    typedef CUploadEcm* (*Factory)();
    static Factory s_pfnCreate;
};

namespace upload {

// The site whose uploads go through the component.
extern const wchar_t kEcmSite[];

// Whether a file may go up at site code site. ecm: the component (null: not installed; only
// asked under the component's site). On true, path may have been replaced by the link file to
// upload; on false, message says why.
TOVIINTERFACE_API bool EcmAllows(const CString& site, CUploadEcm* ecm, CString& path, CString& message);

}

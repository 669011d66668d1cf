// COleDataObject: the reading side of a data object (a drop's, or the clipboard's).
//
// Holds one IDataObject; with auto-release it releases it when detached, re-attached or
// destroyed. Used on the thread that got the data object.
#pragma once
#include "FrameworkApi.h"
#include <windows.h>
#include <objidl.h>

class FW_API COleDataObject {
public:
    COleDataObject() = default;
    ~COleDataObject();
    COleDataObject(const COleDataObject&) = delete;
    COleDataObject& operator=(const COleDataObject&) = delete;

    // Takes lpDataObject; with bAutoRelease the reference passed in is released by this
    // object later (the caller AddRefs first when it keeps its own).
    void Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease = TRUE);
    // Gives up the data object without releasing it.
    LPDATAOBJECT Detach();
    // Releases the data object (when auto-release) and forgets it.
    void Release();
    // The data object on the clipboard; FALSE when there is none.
    BOOL AttachClipboard();
    LPDATAOBJECT GetIDataObject(BOOL bAddRef);

    // Whether the data is offered in that format (and, with lpFormatEtc, that aspect and medium).
    BOOL IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = nullptr);
    // A global-memory copy of the data that the caller owns (GlobalFree); null when the
    // format is missing or not in global memory.
    HGLOBAL GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = nullptr);
    // The medium as the source gave it; the caller calls ReleaseStgMedium. FALSE when missing.
    BOOL GetData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc = nullptr);

    // Formats offered, one after the other: BeginEnumFormats, then GetNextFormat until FALSE.
    void BeginEnumFormats();
    BOOL GetNextFormat(LPFORMATETC lpFormatEtc);

private:
    FORMATETC Format(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc, DWORD tymed) const;
    LPDATAOBJECT m_lpDataObject = nullptr;
    BOOL m_bAutoRelease = TRUE;
    IEnumFORMATETC* m_lpEnumerator = nullptr;
};

// CToviDocument: the empty document the web views are created with; it holds no data.
#pragma once
#include "Document.h"
#include "ToviInterfaceApi.h"

class TOVIINTERFACE_API CToviDocument : public CDocument {
    DECLARE_DYNCREATE(CToviDocument)
public:
    CToviDocument();
    ~CToviDocument() override;
    BOOL OnNewDocument() override;
};

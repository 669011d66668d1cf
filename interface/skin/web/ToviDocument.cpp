// The web views' empty document.
#include "ToviDocument.h"

IMPLEMENT_DYNCREATE(CToviDocument, CDocument)

CToviDocument::CToviDocument() = default;
CToviDocument::~CToviDocument() = default;

BOOL CToviDocument::OnNewDocument()
{
    return CDocument::OnNewDocument();
}

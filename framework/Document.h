// CDocument: the data a set of views shows. Views join it when they are created with it in
// their CCreateContext and leave it when they are destroyed. UI thread only.
#pragma once
#include "CmdTarget.h"
#include "Strings.h"
#include <vector>

class CView;

class FW_API CDocument : public CCmdTarget {
    DECLARE_DYNCREATE(CDocument)
public:
    CDocument();
    // Tells the views that are left that the document is gone (they stop pointing at it).
    ~CDocument() override;

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(LPCTSTR lpszTitle);
    BOOL IsModified() const { return m_bModified; }
    void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

    // The views in the order they joined.
    int GetViewCount() const { return (int)m_views.size(); }
    CView* GetView(int nIndex) const;
    void AddView(CView* pView);
    void RemoveView(CView* pView);
    // Calls OnUpdate of every view but pSender.
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);

    // Called when the view list changed. With m_bAutoDelete set, a document whose last view
    // went away deletes itself here (create such a document with new).
    virtual void OnChangedViewList();
    virtual BOOL OnNewDocument();

    // Off by default: a document that is a member of another object must not delete itself.
    BOOL m_bAutoDelete = FALSE;

protected:
    CString m_strTitle;
    BOOL m_bModified = FALSE;
    std::vector<CView*> m_views;

    DECLARE_MESSAGE_MAP()
};

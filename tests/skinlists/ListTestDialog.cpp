// The list tests' dialog.
#include "ListTestDialog.h"
#include "Framework.h"
#include "Library.h"
#include "ListTestRes.h"

BEGIN_MESSAGE_MAP(CListTestDialog, CDialog)
    ON_MESSAGE(WM_GUEST_ADDRESS_REFUSED, OnAddressRefused)
    ON_MESSAGE(WM_GUEST_ADDRESS_CHANGED, OnAddressChanged)
    ON_BN_CLICKED(IDC_LIST_OTHER, OnOther)
END_MESSAGE_MAP()

CListTestDialog::CListTestDialog(int listType, int guestType)
    : CDialog(IDD_LIST_TEST), m_nListType(listType), m_nGuestType(guestType)
{
}

BOOL CListTestDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list.SubclassDlgItem(IDC_LIST_TOVI, this);
    m_list.SetType(m_nListType);
    m_list.SetFont();
    // The rows were measured before the list was ours: measure them again for the type.
    m_list.SendMessage(WM_SETFONT, m_list.SendMessage(WM_GETFONT), TRUE);
    m_guests.m_nListType = m_nGuestType;
    m_guests.m_bEditable = true;
    m_guests.SubclassDlgItem(IDC_LIST_VANTEL, this);
    m_edit.SubclassDlgItem(IDC_LIST_EDIT, this);
    m_link.SubclassDlgItem(IDC_LIST_STATIC, this);
    return TRUE;
}

BOOL CListTestDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    int which = -1;
    const int row = m_list.GetButtonRow((HWND)lParam, &which);
    if (row >= 0) {
        m_versionClicks.emplace_back(row, which);
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

LRESULT CListTestDialog::OnAddressRefused(WPARAM wParam, LPARAM lParam)
{
    m_posts.push_back({ WM_GUEST_ADDRESS_REFUSED, wParam, lParam });
    return 0;
}

LRESULT CListTestDialog::OnAddressChanged(WPARAM wParam, LPARAM lParam)
{
    m_posts.push_back({ WM_GUEST_ADDRESS_CHANGED, wParam, lParam });
    return 0;
}

void CListTestDialog::OnOther()
{
    ++m_nOtherClicks;
}

void ListDialogTest::Open(int listType, int guestType, bool checkColumn)
{
    if (!opened)
        ASSERT_TRUE(ToviInterfaceInit());
    opened = true;
    ui.SetPreTranslate(&AfxPreTranslateMessage);
    ui.Run([&] {
        dlg = std::make_unique<CListTestDialog>(listType, guestType);
        ASSERT_TRUE(dlg->Create(IDD_LIST_TEST));
        dlg->m_header.m_bCheckColumn = checkColumn;
        dlg->m_guestHeader.m_bCheckColumn = checkColumn;
        dlg->ShowWindow(SW_SHOW);
        dlg->UpdateWindow();
    });
    ASSERT_TRUE(dlg && dlg->m_hWnd);
}

void ListDialogTest::TearDown()
{
    if (dlg) {
        ui.Run([&] {
            dlg->DestroyWindow();
            dlg.reset();
        });
    }
    if (opened)
        ToviInterfaceTerm();
}

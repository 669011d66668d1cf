// A dialog for the list tests: the owner-drawn list with its header, the guest list with its
// header, a framed edit and a link, the list types chosen by the test; and what reached the
// dialog, for the tests to read.
#pragma once
#include "Dialog.h"
#include "ToviHeaderCtrl.h"
#include "ToviListCtrl.h"
#include "UiThread.h"
#include "VantelEdit.h"
#include "VantelListCtrl.h"
#include "VantelStatic.h"
#include <gtest/gtest.h>
#include <memory>
#include <utility>
#include <vector>

class CListTestDialog : public CDialog {
public:
    CListTestDialog(int listType, int guestType);

    CToviListCtrl m_list;
    CToviHeaderCtrl m_header;
    CVantelListCtrl m_guests;
    CToviHeaderCtrl m_guestHeader;
    CVantelEdit m_edit;
    CVantelStatic m_link;

    // Posted WM_GUEST_ADDRESS_REFUSED / _CHANGED: (message, wParam, lParam).
    struct Post { UINT message; WPARAM wParam; LPARAM lParam; };
    std::vector<Post> m_posts;
    // Embedded version buttons that reached the dialog: (row, which).
    std::vector<std::pair<int, int>> m_versionClicks;
    int m_nOtherClicks = 0;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnAddressRefused(WPARAM wParam, LPARAM lParam);
    LRESULT OnAddressChanged(WPARAM wParam, LPARAM lParam);
    void OnOther();
    DECLARE_MESSAGE_MAP()

private:
    int m_nListType;
    int m_nGuestType;
};

// The dialog open on a UI thread for each test, with the list types of the test.
class ListDialogTest : public ::testing::Test {
protected:
    void Open(int listType, int guestType, bool checkColumn = false);
    void TearDown() override;
    LRESULT Send(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageW(hwnd, message, wParam, lParam);
    }

    uitest::UiThread ui;
    std::unique_ptr<CListTestDialog> dlg;
    bool opened = false;
};

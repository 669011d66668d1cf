// The sharing dialogs' host.
#include <winsock2.h>
#include "ShareHost.h"
#include "Library.h"
#include "ToviRegistry.h"
#include "WinThread.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>

namespace sharetest {

namespace {

const wchar_t kProductKey[] = L"Software\\Varivivod\\VariruDAD";
// What the dialogs' language and face are chosen by; other tests find them as they were.
const wchar_t* const kSavedValues[] = {L"Language", L"DialogFont"};

}

void ShareHost::SetUp()
{
    RoadTest::SetUp();
    ASSERT_TRUE(ToviInterfaceInit());
    m_ui.SetPreTranslate(&AfxPreTranslateMessage);
    for (const wchar_t* name : kSavedValues) {
        wchar_t text[256] = {};
        DWORD size = sizeof text;
        if (RegGetValueW(HKEY_CURRENT_USER, kProductKey, name, RRF_RT_REG_SZ, nullptr, text, &size) == ERROR_SUCCESS)
            m_savedValues[name] = text;
    }
    UseLanguage(9);
    ASSERT_EQ(0, LogIn(m_proto)) << m_proto.Message();
}

void ShareHost::TearDown()
{
    if (m_task && !m_task->Done()) {
        if (IsWindow(m_dialog))
            uitest::ClickButton(m_dialog, IDCANCEL);
        m_task->Wait(10000);
    }
    for (const wchar_t* name : kSavedValues) {
        const auto saved = m_savedValues.find(name);
        if (saved == m_savedValues.end())
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kProductKey, name);
        else
            RegSetKeyValueW(HKEY_CURRENT_USER, kProductKey, name, REG_SZ, saved->second.c_str(),
                            static_cast<DWORD>((saved->second.size() + 1) * sizeof(wchar_t)));
    }
    Control("SWITCH pageSize=0 guestFolderQuota=1000 guestDefaultDate=2099-12-31 guestDateEditable=Y "
            "groupShareMaster=Y");
    ToviInterfaceTerm();
    RoadTest::TearDown();
}

void ShareHost::UseLanguage(unsigned short language)
{
    // The language lives in the product's key, which an installed product has.
    HKEY product = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0, KEY_WRITE, nullptr, &product, nullptr);
    if (product)
        RegCloseKey(product);
    EXPECT_TRUE(CToviRegistry::SetLanguage(0, language));
    // Korean texts in the Korean system face, as a Korean installation configures it.
    const auto face = m_savedValues.find(L"DialogFont");
    CToviRegistry::SetDialogFont(0, language == 18 ? CString(L"\xB9D1\xC740 \xACE0\xB515")
                                    : face != m_savedValues.end() ? CString(face->second.c_str()) : CString());
}

void ShareHost::SeedOrganisation()
{
    const char* lines[] = {
        "GROUP id=g1 name=Sales",
        "GROUP id=g2 name=Research",
        "GROUP id=g3 name=Support",
        "GROUP id=g4 name=Legal",
        "GROUP id=g11 name=Sales%20East parent=g1",
        "GROUP id=g12 name=Sales%20West parent=g1",
        "GROUP id=g13 name=Sales%20North parent=g1",
        "GROUP id=g14 name=Sales%20South parent=g1",
        "GROUP id=g15 name=Sales%20Online parent=g1",
        "GROUP id=g111 name=Key%20Accounts parent=g11",
        "USER id=kim password=pw name=Kim%20Minji position=Manager code=U001 group=g1 department=Sales",
        "USER id=lee password=pw name=Lee%20Jun position=Clerk code=U002 group=g1 department=Sales",
        "USER id=park password=pw name=Park%20Hana position=Analyst code=U003 group=g11 department=Sales%20East",
        "SWITCH pageSize=3",
    };
    for (const char* line : lines)
        ASSERT_EQ("OK", Control(line).substr(0, 2)) << line;
}

std::string ShareHost::MakeFolder(const std::string& path)
{
    const std::string reply = Control(std::string("FOLDER user=") + road::kUser + " -- " + path);
    EXPECT_EQ("OK", reply.substr(0, 2)) << reply;
    return protoserver::Control::Value(reply, "idx");
}

std::string ShareHost::MakeFile(const std::string& path, const std::string& text)
{
    const std::string reply = Control(std::string("FILE user=") + road::kUser + " text=" + text + " -- " + path);
    EXPECT_EQ("OK", reply.substr(0, 2)) << reply;
    return protoserver::Control::Value(reply, "idx");
}

HWND ShareHost::StartModal(std::function<INT_PTR()> doModal, const wchar_t* title)
{
    m_result = -99;
    m_task = m_ui.Post([this, doModal] { m_result = doModal(); });
    m_dialog = uitest::WaitForDialog(title, 10000);
    if (!m_dialog) {
        std::wstring seen;
        for (HWND wnd : uitest::FindTopWindows(L"#32770", nullptr))
            seen += L"[" + uitest::GetText(wnd) + L"]";
        ADD_FAILURE() << "no dialog titled " << testing::PrintToString(std::wstring(title)) << "; open: "
                      << testing::PrintToString(seen) << "; ended: " << (m_task->Done() ? m_result : 0);
    }
    return m_dialog;
}

INT_PTR ShareHost::WaitModal(DWORD timeoutMs)
{
    if (!m_task || !m_task->Wait(timeoutMs))
        return -99;
    return m_result;
}

std::vector<std::wstring> ShareHost::TreeLevel(HTREEITEM parent) const
{
    HWND tree = Item(10057);
    std::vector<std::wstring> out;
    HTREEITEM child = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree);
    for (; child; child = TreeView_GetNextSibling(tree, child)) {
        wchar_t text[260] = {};
        TVITEMW item = {};
        item.mask = TVIF_TEXT;
        item.hItem = child;
        item.pszText = text;
        item.cchTextMax = 259;
        TreeView_GetItem(tree, &item);
        out.push_back(text);
    }
    return out;
}

HTREEITEM ShareHost::TreeChild(HTREEITEM parent, const std::wstring& text) const
{
    HWND tree = Item(10057);
    HTREEITEM child = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree);
    for (; child; child = TreeView_GetNextSibling(tree, child)) {
        wchar_t buffer[260] = {};
        TVITEMW item = {};
        item.mask = TVIF_TEXT;
        item.hItem = child;
        item.pszText = buffer;
        item.cchTextMax = 259;
        TreeView_GetItem(tree, &item);
        if (text == buffer)
            return child;
    }
    return nullptr;
}

std::vector<std::wstring> ShareHost::ListColumn(int id, int column) const
{
    HWND list = Item(id);
    std::vector<std::wstring> out;
    const int count = ListView_GetItemCount(list);
    for (int row = 0; row < count; ++row) {
        wchar_t text[600] = {};
        ListView_GetItemText(list, row, column, text, 599);
        out.push_back(text);
    }
    return out;
}

bool ShareHost::SelectRows(int id, const std::vector<int>& rows) const
{
    HWND list = Item(id);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    for (int row : rows)
        ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
    return true;
}

int ShareHost::RowOf(int id, int column, const std::wstring& text) const
{
    const std::vector<std::wstring> cells = ListColumn(id, column);
    for (size_t row = 0; row < cells.size(); ++row)
        if (cells[row] == text)
            return static_cast<int>(row);
    return -1;
}

bool ShareHost::WaitIdle(DWORD timeoutMs) const
{
    HWND edit = Item(10064);
    auto idle = [edit] { return (GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY) == 0; };
    // A load may chain into the next (the first level selects its first item): idle twice in a
    // row, 50 ms apart.
    return uitest::WaitUntil(
        [&] {
            if (!idle())
                return false;
            Sleep(50);
            return idle();
        },
        timeoutMs);
}

void ShareHost::Check(int id, bool on) const
{
    // As a click on an automatic check box: the state flips, then the dialog hears of it.
    if ((IsDlgButtonChecked(m_dialog, id) == BST_CHECKED) != on) {
        CheckDlgButton(m_dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
        uitest::ClickButton(m_dialog, id);
    }
}

bool ShareHost::Settle() const
{
    if (!uitest::WaitUntil([] { return uitest::FindTopWindows(L"#32770", L"CorvaneIXO").empty(); }))
        return false;
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(m_dialog, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) != 0;
}

std::vector<std::map<int, std::string>> ShareHost::Last(const std::string& command)
{
    return road::LastRecords(Control("LAST cmd=" + command));
}

std::string ShareHost::List(const std::string& user, const std::string& path)
{
    return Control("LIST user=" + user + " -- " + path);
}

}

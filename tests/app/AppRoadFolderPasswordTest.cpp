// A password-protected server folder in CorvaneIXO.exe: the test server gives the folder's record
// the password's digest, and the program asks for the password before it opens the folder; a
// wrong password is refused without a listing, the right one opens the folder.
#include "AppRun.h"
#include "ToviMsg.h"
#include "ToviTextLanguage.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <sstream>

using namespace apprun;

namespace {

const int kPasswordEdit = 10078;

// The text of a field in the first record of a LAST reply (its value is sent as hex); empty
// when the field is absent.
std::string FirstRecordField(const std::string& reply, int id)
{
    const std::string records = protoserver::Control::Value(reply, "rec");
    std::istringstream fields(records.substr(0, records.find('/')));
    std::string field;
    const std::string key = std::to_string(id) + ":";
    while (std::getline(fields, field, ',')) {
        if (field.compare(0, key.size(), key) != 0)
            continue;
        std::string text;
        for (size_t i = key.size(); i + 1 < field.size(); i += 2)
            text += static_cast<char>(std::strtol(field.substr(i, 2).c_str(), nullptr, 16));
        return text.substr(0, text.find('\0'));
    }
    return std::string();
}

std::wstring MessageIn(LANGID language, unsigned int id)
{
    CToviTextLanguage::SetThreadLanguage(language);
    const CString text = CToviMsg::GetString(id);
    CToviTextLanguage::SetThreadLanguage(0);
    return std::wstring(text.GetString());
}

}

class AppRoadFolderPassword : public AppRoadTest {};

TEST_F(AppRoadFolderPassword, AProtectedFolderOpensOnlyWithItsPassword)
{
    // The store outlives a run: a folder of this run's own.
    const std::string name = "Vault" + std::to_string(::GetTickCount64());
    const std::string path = "My Files/" + name;
    ASSERT_EQ("OK", Control("FOLDER user=demo password=Open%20Sesame1 -- " + path).substr(0, 2));
    ASSERT_EQ("OK", Control("FILE user=demo size=64 -- " + path + "/inside.txt").substr(0, 2));
    const std::string vault = Idx(path);
    ASSERT_FALSE(vault.empty());

    HWND frame = LaunchShowing(LANG_ENGLISH, L"");
    ASSERT_NE(nullptr, frame);
    const MainPanes panes = PanesOf(frame);
    ASSERT_TRUE(panes.All());
    HTREEITEM myFiles = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] { return (myFiles = RemoteTreeChild(panes.serverTree, nullptr, L"My Files")) != nullptr; },
                                  20000));
    ::SendMessageW(panes.serverTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(myFiles));
    const std::wstring wide(name.begin(), name.end());
    HTREEITEM item = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] { return (item = RemoteTreeChild(panes.serverTree, myFiles, wide)) != nullptr; },
                                  20000)) << "the protected folder is not in the tree";
    ASSERT_TRUE(WaitForQuietServer("D0"));
    const int listingsBefore = RequestCount("D0");

    // Choosing the folder asks for its password first.
    ClickTreeItem(panes.serverTree, item);
    HWND prompt = WaitForDialogWith(kPasswordEdit);
    ASSERT_NE(nullptr, prompt) << "no password was asked for";

    ASSERT_TRUE(SetControlText(prompt, kPasswordEdit, L"open sesame1"));
    Click(prompt, IDOK);
    HWND box = WaitForBox();
    ASSERT_NE(nullptr, box) << "a wrong password was not refused";
    wchar_t refusal[512] = {};
    wcsncpy(refusal, MessageIn(LANG_ENGLISH, 14129).c_str(), 511);
    EXPECT_NE(std::wstring::npos, BoxText(box).find(refusal)) << CStringA(BoxText(box).c_str()).GetString();
    AnswerBox(box);
    EXPECT_TRUE(::IsWindow(prompt) && ::IsWindowVisible(prompt)) << "the prompt went after a wrong password";
    EXPECT_EQ(listingsBefore, RequestCount("D0")) << "the folder was listed behind a wrong password";
    EXPECT_NE(reinterpret_cast<LRESULT>(item), ::SendMessageW(panes.serverTree, TVM_GETNEXTITEM, TVGN_CARET, 0));

    ASSERT_TRUE(SetControlText(prompt, kPasswordEdit, L"Open Sesame1"));
    Click(prompt, IDOK);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(prompt) || !::IsWindowVisible(prompt); }, 10000))
        << "the right password was not taken";
    EXPECT_TRUE(uitest::WaitUntil([&] { return RemoteListRow(panes.serverList, L"inside.txt") >= 0; }, 20000))
        << "the folder's files are not shown";
    EXPECT_EQ(vault, FirstRecordField(Control("LAST cmd=D0"), 173)) << "the server did not list the folder";
    EXPECT_EQ(reinterpret_cast<LRESULT>(item), ::SendMessageW(panes.serverTree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    EXPECT_TRUE(ExitFromTray());
}

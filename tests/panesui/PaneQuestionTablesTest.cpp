// The questions the server panes ask before a command runs, row by row: for each command and each
// kind of selection (one file, one folder, several) the confirmation's exact title and text in
// Korean and in English, naming a single item and counting several.
#include "ConfirmDlg.h"
#include "ServerCommandSupport.h"
#include "ToviTextLanguage.h"
#include <gtest/gtest.h>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

using servercmd::Question;

namespace {

_PROTO_FOLDER_INFO Item(const char* kind, const wchar_t* name)
{
    _PROTO_FOLDER_INFO item = {};
    std::strcpy(item.ItemType, kind);
    std::wcscpy(item.Name, name);
    return item;
}

std::vector<_PROTO_FOLDER_INFO> Several(int count)
{
    std::vector<_PROTO_FOLDER_INFO> items;
    for (int i = 0; i < count; ++i)
        items.push_back(Item(i % 2 ? "D" : "F", L"item"));
    return items;
}

std::string Utf8(const std::wstring& text)
{
    std::string out(::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

struct Texts {
    std::wstring title, text;
};

}

TEST(PaneQuestionTable, EachCommandAsksItsOwnQuestionNamingOneItemAndCountingSeveral)
{
    const std::vector<_PROTO_FOLDER_INFO> file = {Item("F", L"a.txt")};
    const std::vector<_PROTO_FOLDER_INFO> folder = {Item("D", L"Docs")};
    const std::vector<_PROTO_FOLDER_INFO> pc = {Item("D", L"office-pc")};
    struct Row {
        const char* command;
        Question question;
        std::vector<_PROTO_FOLDER_INFO> items;
        Texts korean, english;
    };
    const Row rows[] = {
        {"Delete, one file: asked plainly", Question::DeleteToBin, file,
         {L"파일 삭제", L"파일 'a.txt' 을(를) 삭제하시겠습니까?"},
         {L"File Delete", L"File 'a.txt' will be deleted. Continue?"}},
        {"Delete, one folder", Question::DeleteToBin, folder,
         {L"폴더 삭제", L"폴더 'Docs' 을(를) 삭제하시겠습니까?"},
         {L"Folder Delete", L"Folder 'Docs' will be deleted. Continue?"}},
        {"Delete, two items: counted", Question::DeleteToBin, Several(2),
         {L"항목 삭제", L"선택한 항목 2개를 삭제하시겠습니까?"},
         {L"Delete Items", L"Delete the 2 selected items?"}},
        {"Delete, three items", Question::DeleteToBin, Several(3),
         {L"항목 삭제", L"선택한 항목 3개를 삭제하시겠습니까?"},
         {L"Delete Items", L"Delete the 3 selected items?"}},
        {"complete delete, one file: warned", Question::DeleteForGood, file,
         {L"파일 삭제", L"파일 'a.txt' 을(를) 완전히 삭제하시겠습니까? 삭제한 항목은 복구할 수 없습니다."},
         {L"File Delete", L"File 'a.txt' will be deleted permanently and cannot be recovered. Continue?"}},
        {"complete delete, one folder", Question::DeleteForGood, folder,
         {L"폴더 삭제", L"폴더 'Docs' 을(를) 완전히 삭제하시겠습니까? 삭제한 항목은 복구할 수 없습니다."},
         {L"Folder Delete", L"Folder 'Docs' will be deleted permanently and cannot be recovered. Continue?"}},
        {"complete delete, two items", Question::DeleteForGood, Several(2),
         {L"영구 삭제", L"선택한 항목 2개를 완전히 삭제하시겠습니까? 삭제한 항목은 복구할 수 없습니다."},
         {L"Delete Permanently", L"The 2 selected items will be deleted permanently and cannot be recovered. Continue?"}},
        {"delete in the bin, one file: warned", Question::DeleteInBin, file,
         {L"파일 삭제", L"파일 'a.txt' 을(를) 완전히 삭제하시겠습니까? 삭제한 항목은 복구할 수 없습니다."},
         {L"File Delete", L"File 'a.txt' will be deleted permanently and cannot be recovered. Continue?"}},
        {"delete in the bin, four items", Question::DeleteInBin, Several(4),
         {L"영구 삭제", L"선택한 항목 4개를 완전히 삭제하시겠습니까? 삭제한 항목은 복구할 수 없습니다."},
         {L"Delete Permanently", L"The 4 selected items will be deleted permanently and cannot be recovered. Continue?"}},
        {"restore, one file", Question::Restore, file,
         {L"파일 복원", L"파일 'a.txt' 을(를) 원래 위치로 복원하시겠습니까?"},
         {L"File Restore", L"File 'a.txt' will be restored to its original location. Continue?"}},
        {"restore, one folder", Question::Restore, folder,
         {L"폴더 복원", L"폴더 'Docs' 을(를) 원래 위치로 복원하시겠습니까?"},
         {L"Folder Restore", L"Folder 'Docs' will be restored to its original location. Continue?"}},
        {"restore, two items", Question::Restore, Several(2),
         {L"항목 복원", L"선택한 항목 2개를 원래 위치로 복원하시겠습니까?"},
         {L"Restore Items", L"Restore the 2 selected items to their original location?"}},
        {"empty the bin of one entry: that entry named, warned", Question::EmptyBin, file,
         {L"파일 삭제", L"파일 'a.txt' 을(를) 완전히 삭제하시겠습니까? 삭제한 항목은 복구할 수 없습니다."},
         {L"File Delete", L"File 'a.txt' will be deleted permanently and cannot be recovered. Continue?"}},
        {"empty the bin of five entries: counted, not one more", Question::EmptyBin, Several(5),
         {L"영구 삭제", L"선택한 항목 5개를 완전히 삭제하시겠습니까? 삭제한 항목은 복구할 수 없습니다."},
         {L"Delete Permanently", L"The 5 selected items will be deleted permanently and cannot be recovered. Continue?"}},
        {"backup PC delete: the name to type", Question::DeleteBackupPC, pc,
         {L"백업 PC 삭제", L"삭제하려면 아래 입력란에 PC 이름 'office-pc'을(를) 입력하세요."},
         {L"Backup PC Delete", L"To delete it, type the PC name 'office-pc' in the box below."}},
    };
    for (const Row& row : rows) {
        for (const LANGID language : {LANGID(LANG_KOREAN), LANGID(LANG_ENGLISH)}) {
            CToviTextLanguage::SetThreadLanguage(language);
            const Texts& expected = language == LANG_KOREAN ? row.korean : row.english;
            CConfirmDlg confirm;
            servercmd::PrepareQuestion(confirm, row.question, row.items);
            CString title, text;
            confirm.ChooseTexts(title, text);
            EXPECT_EQ(Utf8(expected.title), Utf8(title.GetString())) << row.command << ", language " << language;
            EXPECT_EQ(Utf8(expected.text), Utf8(text.GetString())) << row.command << ", language " << language;
            EXPECT_EQ(row.question == Question::DeleteBackupPC ? CConfirmDlg::kModeTypeName
                      : row.question == Question::Restore   ? CConfirmDlg::kModeRestore
                                                            : CConfirmDlg::kModeDelete,
                      confirm.m_nMode)
                << row.command;
        }
    }
    CToviTextLanguage::SetThreadLanguage(0);
}

// A question about nothing is never asked: emptying a bin without entries, or a command with
// nothing selected, ends at once.
TEST(PaneQuestionTable, NothingToAskAboutEndsWithoutAQuestion)
{
    for (const Question question : {Question::DeleteToBin, Question::DeleteForGood, Question::DeleteInBin,
                                    Question::Restore, Question::EmptyBin, Question::DeleteBackupPC})
        EXPECT_FALSE(servercmd::Confirm(nullptr, question, {})) << static_cast<int>(question);
}

// The command bar's decisions without a window: permission icons of a state text, the delete
// command of a server item, the approval caption by language, and the right-hand layout on a
// wide and on a too narrow bar.
#include "BarIconsRes.h"
#include "ListIconsRes.h"
#include "MenuBarRes.h"
#include "MenuBarRules.h"
#include <gtest/gtest.h>
#include <cstring>
#include <memory>

using namespace menubar;

TEST(MenuBarRules, EachStateCharacterPicksTheIconOfItsPosition)
{
    const struct {
        const char* state;
        UINT expected[4];
    } rows[] = {
        {"1120", {IDI_RIGHT_VIEW_PART, 0, IDI_RIGHT_UPLOAD, IDI_RIGHT_DELETE_OFF}},
        {"0000", {0, IDI_RIGHT_DOWNLOAD_OFF, IDI_RIGHT_UPLOAD_OFF, IDI_RIGHT_DELETE_OFF}},
        {"2222", {IDI_RIGHT_VIEW, IDI_RIGHT_DOWNLOAD, IDI_RIGHT_UPLOAD, IDI_RIGHT_DELETE}},
        {"1111", {IDI_RIGHT_VIEW_PART, 0, 0, IDI_RIGHT_DELETE_PART}},
        // Characters other than 0-2 show nothing; a short text leaves the rest empty.
        {"3A2x", {0, 0, IDI_RIGHT_UPLOAD, 0}},
        {"21", {IDI_RIGHT_VIEW, 0, 0, 0}},
        {"", {0, 0, 0, 0}},
    };
    for (const auto& row : rows) {
        const PermissionIcons icons = PermissionIconsFor(row.state);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(row.expected[i], icons.ids[i]) << "state \"" << row.state << "\" position " << i;
    }
    EXPECT_EQ(0u, PermissionIconsFor(nullptr).ids[0]);
}

TEST(MenuBarRules, DeleteGoesToTheRecycleBinUnlessOnlyFinalDeleteIsAllowed)
{
    const struct {
        const char* permission;   // positions 7 (DELETE) and 8 (DEL_COMP) matter
        const char* type;
        bool recycleBin;
        int mode;
    } rows[] = {
        {"0000000100000000000000000000000", "1", false, 1},
        {"0000000010000000000000000000000", "1", false, 0},
        {"0000000110000000000000000000000", "1", false, 1},
        {"0000000000000000000000000000000", "1", false, 1},
        {"0000000", "1", false, 1},   // too short to hold either flag
        {"0000000010000000000000000000000", "6", true, 0},
        {"0000000100000000000000000000000", "D", true, 1},
        {"0000000100000000000000000000000", "A", false, 1},
    };
    auto item = std::make_unique<_PROTO_FOLDER_INFO>();
    for (const auto& row : rows) {
        std::strcpy(item->Attr189, row.permission);
        std::strcpy(item->Attr27, row.type);
        const DeleteCommand command = DeleteCommandFor(*item);
        EXPECT_EQ(row.recycleBin, command.recycleBin) << row.permission << " type " << row.type;
        EXPECT_EQ(row.mode, command.mode) << row.permission << " type " << row.type;
    }
}

TEST(MenuBarRules, TheApprovalCaptionFollowsTheLanguage)
{
    auto options = std::make_unique<_OPTION_INFO>();
    // The server's section "first$second$third" is kept as Korean, English, third language.
    wcscpy(options->ContextMenu[0].Token1, L"결재요청");
    wcscpy(options->ContextMenu[0].Token2, L"Approval");
    wcscpy(options->ContextMenu[0].Token3, L"承認");
    EXPECT_EQ(CString(L"Approval"), ApprovalCaption(*options, 0x09));
    EXPECT_EQ(CString(L"결재요청"), ApprovalCaption(*options, 0x12));
    EXPECT_EQ(CString(L"承認"), ApprovalCaption(*options, 0x11));
    EXPECT_EQ(CString(L"承認"), ApprovalCaption(*options, 0));

    EXPECT_FALSE(ApprovalShown(nullptr));
    EXPECT_FALSE(ApprovalShown(options.get()));
    std::strcpy(options->Approval, "Y");
    EXPECT_TRUE(ApprovalShown(options.get()));
    std::strcpy(options->DirectEdit, "N");
    EXPECT_FALSE(DirectEditShown(options.get()));
}

TEST(MenuBarRules, TheApprovalRequestTakesItsPlaceAfterNewFolderOnlyWithItsOption)
{
    const std::vector<UINT> plain = ButtonRow(false);
    const std::vector<UINT> withApproval = ButtonRow(true);
    ASSERT_EQ(11u, plain.size());
    ASSERT_EQ(12u, withApproval.size());
    EXPECT_EQ(static_cast<UINT>(IDC_MENU_UPLOAD), plain[1]);
    EXPECT_EQ(static_cast<UINT>(IDC_MENU_APPROVAL), withApproval[1]);
    // Direct edit keeps its place between link and the batch request either way.
    EXPECT_EQ(static_cast<UINT>(IDC_MENU_DIRECT_EDIT), plain[9]);
    EXPECT_EQ(static_cast<UINT>(IDC_MENU_BATCH_APPROVAL), plain.back());
}

TEST(MenuBarRules, TheRightHandControlsNeverMoveLeftOfTheCommandRow)
{
    // A wide bar: everything sits at the right end.
    EXPECT_EQ(1200 - 160 - 54 - 10, ViewButtonsLeft(1200, 160, 27, 600));
    RECT box = PermissionBox(1200, 41, 160, 27, 600);
    EXPECT_EQ(1200 - 160 - 54 - 98, box.left);
    EXPECT_EQ(10, box.top);
    EXPECT_EQ(78, box.right - box.left);
    EXPECT_EQ(19, box.bottom - box.top);
    // A narrow bar: they run off the right edge instead.
    EXPECT_EQ(600 + 98, ViewButtonsLeft(700, 160, 27, 600));
    box = PermissionBox(700, 38, 160, 27, 600);
    EXPECT_EQ(600 + 10, box.left);
    EXPECT_EQ(9, box.top);
}

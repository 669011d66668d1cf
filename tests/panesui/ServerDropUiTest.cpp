// The server panes' registered drop targets with real data objects against the test server: the
// effect each shows by what the drag carries, where it started and what the folder allows; a
// hovered folder opening after its delay; drops that upload or paste at the server, a drop on
// the list's empty space going into the folder shown.
#include "ServerPanesFixture.h"
#include "AutoAnswer.h"
#include "DragDrop.h"
#include "OleDataObject.h"
#include "ServerCommandSupport.h"
#include "ServerDropTargets.h"
#include "WindowDriver.h"
#include <cstring>
#include <string>
#include <vector>

using namespace road;

namespace {

DWORD g_now = 0;
DWORD FakeTick() { return g_now; }

// Permissions with UPLOAD, NEW_DIR and NEW_FILE refused.
std::string NoUploadNoNew()
{
    std::string value(31, '1');
    value[4] = value[5] = value[6] = '0';
    return value;
}

// Permissions with one place refused.
std::string Refusing(std::initializer_list<int> places)
{
    std::string value(31, '1');
    for (int place : places)
        value[place] = '0';
    return value;
}

void PutClipboardText(const wchar_t* text)
{
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    const size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(::GlobalLock(block), text, bytes);
    ::GlobalUnlock(block);
    EXPECT_NE(nullptr, ::SetClipboardData(CF_UNICODETEXT, block));
    ::CloseClipboard();
}

std::wstring ClipboardText()
{
    std::wstring text;
    if (!::OpenClipboard(nullptr))
        return L"(clipboard not opened)";
    if (HANDLE block = ::GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(::GlobalLock(block));
        ::GlobalUnlock(block);
    }
    ::CloseClipboard();
    return text;
}

class DropTest : public ServerPanesTest {
protected:
    void Seed() override
    {
        for (const char* path : {"My Files/Work/a/deep", "My Files/Work/b", "My Files/Solo/only", "My Files/Locked"})
            ASSERT_EQ("OK", Control(std::string("FOLDER user=road -- ") + path).substr(0, 2));
        ASSERT_EQ("OK", Control("FILE user=road size=40 -- My Files/Work/x.txt").substr(0, 2));
        ASSERT_EQ("OK", Control("PERM idx=" + Idx("My Files/Locked") + " value=" + NoUploadNoNew()).substr(0, 2));
        m_local = Scratch(L"dropped.bin");
        WriteLocal(m_local, 3000);
    }
    void TearDown() override
    {
        m_files.Release();
        m_items.Release();
        ServerPanesTest::TearDown();
    }

    // The drags under test: local files, server items from a pane, and neither.
    void AttachFiles()
    {
        auto* source = new CDragDataSource;
        ASSERT_TRUE(source->CacheFileDrop({CString(m_local.c_str())}));
        m_files.Attach(source->GetDataObject());
    }
    void AttachItems(const std::vector<_PROTO_FOLDER_INFO>& records, const wchar_t* tag, const wchar_t* from)
    {
        m_items.Release();
        auto* source = new CDragDataSource;
        ASSERT_TRUE(source->CacheServerItems(records, tag, from));
        m_items.Attach(source->GetDataObject());
    }
    _PROTO_FOLDER_INFO RowRecord(const wchar_t* name)
    {
        const int row = Row(name);
        EXPECT_GE(row, 0) << "no row";
        return row >= 0 ? *reinterpret_cast<_PROTO_FOLDER_INFO*>(List().GetItemData(row)) : _PROTO_FOLDER_INFO{};
    }

    DROPEFFECT OverTree(COleDataObject& data, HTREEITEM item, DWORD keys = 0)
    {
        CSLDropTarget& target = m_left->DropTarget();
        target.OnDragEnter(&Tree(), &data, keys, ItemPoint(item));
        const DROPEFFECT effect = target.OnDragOver(&Tree(), &data, keys, ItemPoint(item));
        target.OnDragLeave(&Tree());
        return effect;
    }
    POINT EmptySpace()
    {
        RECT client = {};
        List().GetClientRect(&client);
        return {40, client.bottom - 10};
    }
    DROPEFFECT OverList(COleDataObject& data, POINT at, DWORD keys = 0)
    {
        CSRDropTarget& target = m_right->DropTarget();
        target.OnDragEnter(&List(), &data, keys, at);
        const DROPEFFECT effect = target.OnDragOver(&List(), &data, keys, at);
        target.OnDragLeave(&List());
        return effect;
    }

    // A drag entering the pane's registered target at client point, then let go there: the
    // effect the enter showed and the effect the drop reported back to the source.
    struct Outcome {
        DWORD entered;
        DWORD dropped;
    };
    Outcome EnterAndDrop(COleDropTarget& target, CWnd& pane, COleDataObject& data, POINT client, DWORD keys = 0)
    {
        POINT screen = client;
        pane.ClientToScreen(&screen);
        const POINTL at = {screen.x, screen.y};
        IDropTarget* drop = target.GetInterface();
        Outcome outcome = {DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY | DROPEFFECT_MOVE};
        drop->DragEnter(data.GetIDataObject(FALSE), keys, at, &outcome.entered);
        drop->Drop(data.GetIDataObject(FALSE), keys, at, &outcome.dropped);
        return outcome;
    }

    std::wstring m_local;
    COleDataObject m_files;
    COleDataObject m_items;
};

}

TEST_F(DropTest, TheTreeShowsTheEffectByWhatTheDragCarriesAndWhatTheFolderAllows)
{
    HTREEITEM work = Open({L"My Files", L"Work"});
    HTREEITEM a = work ? Child(work, L"a") : nullptr;
    ASSERT_NE(nullptr, a);
    Tree().Expand(a, TVE_EXPAND);
    HTREEITEM deep = Child(a, L"deep");
    HTREEITEM locked = Child(Child(nullptr, L"My Files"), L"Locked");
    ASSERT_TRUE(deep && locked);
    _PROTO_FOLDER_INFO file = RowRecord(L"x.txt");
    AttachFiles();
    AttachItems({file}, L"SR", L"My Files/Work");
    COleDataObject text;
    auto* plain = new COleDataSource;
    const wchar_t words[] = L"not a drag of ours";
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, sizeof words);
    std::memcpy(::GlobalLock(block), words, sizeof words);
    ::GlobalUnlock(block);
    plain->CacheGlobalData(CF_UNICODETEXT, block);
    text.Attach(plain->GetDataObject());

    const struct {
        const char* what;
        COleDataObject* data;
        HTREEITEM item;
        DWORD keys;
        DROPEFFECT expected;
    } cases[] = {
        {"files onto a folder that takes uploads", &m_files, work, 0, DROPEFFECT_COPY},
        {"files with Shift still copy", &m_files, work, MK_SHIFT, DROPEFFECT_COPY},
        {"files onto a folder without UPLOAD", &m_files, locked, 0, DROPEFFECT_NONE},
        {"server items without keys move", &m_items, a, 0, DROPEFFECT_MOVE},
        {"server items with Ctrl copy", &m_items, a, MK_CONTROL, DROPEFFECT_COPY},
        {"server items onto a folder without NEW_DIR and NEW_FILE", &m_items, locked, MK_CONTROL, DROPEFFECT_NONE},
        {"neither format", &text, work, 0, DROPEFFECT_NONE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, OverTree(*c.data, c.item, c.keys)) << c.what;
    // A folder whose password was not given takes nothing.
    m_frame.password = -1;
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_NONE), OverTree(m_files, work)) << "files past the password";
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_NONE), OverTree(m_items, a)) << "items past the password";
    m_frame.password = 0;

    // A folder dragged from this tree goes neither onto itself nor below itself.
    m_frame.SetDragSource(L"SL");
    Tree().m_hDragItem = a;
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_NONE), OverTree(m_items, a)) << "onto itself";
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_NONE), OverTree(m_items, deep)) << "below itself";
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_MOVE), OverTree(m_items, Child(work, L"b"))) << "beside itself";
    // The tree's mark says nothing of a drag the list started: only what it carries counts.
    m_frame.SetDragSource(L"SR");
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_MOVE), OverTree(m_items, deep));
    Tree().m_hDragItem = nullptr;
    // The list's folder row a goes neither onto the tree's a nor below it.
    AttachItems({RowRecord(L"a")}, L"SR", L"My Files/Work");
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_NONE), OverTree(m_items, a)) << "a row onto itself";
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_NONE), OverTree(m_items, deep)) << "a row below itself";
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_MOVE), OverTree(m_items, Child(work, L"b"))) << "a row beside itself";
    EXPECT_EQ(nullptr, Tree().GetDropHilightItem()) << "the leave kept the highlight";
}

TEST_F(DropTest, DropsOnTheTreeUploadIntoTheFolderOrPasteAtTheServer)
{
    HTREEITEM work = Open({L"My Files", L"Work"});
    ASSERT_NE(nullptr, work);
    HTREEITEM solo = Child(Child(nullptr, L"My Files"), L"Solo");
    ASSERT_NE(nullptr, solo);
    CSLDropTarget& target = m_left->DropTarget();
    AttachFiles();
    m_frame.SetDragSource(L"CR");
    ASSERT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_COPY), OverTree(m_files, solo));
    EXPECT_TRUE(target.OnDrop(&Tree(), &m_files, DROPEFFECT_COPY, ItemPoint(solo)));
    EXPECT_EQ((std::vector<std::string>{"upload 1 into " + Idx("My Files/Solo")}), m_ops.events);
    EXPECT_TRUE(m_frame.dragSource.IsEmpty()) << "the drop left the drag origin set";

    // A link (Ctrl+Shift over the scroll band) is refused: nothing is asked of the server.
    _PROTO_FOLDER_INFO file = RowRecord(L"x.txt");
    AttachItems({file}, L"SR", L"My Files/Work");
    const long before = Exchanges();
    target.OnDragEnter(&Tree(), &m_items, MK_CONTROL | MK_SHIFT, ItemPoint(solo));
    EXPECT_FALSE(target.OnDrop(&Tree(), &m_items, DROPEFFECT_LINK, ItemPoint(solo)));
    EXPECT_EQ(before, Exchanges());
    EXPECT_EQ(nullptr, Tree().GetDropHilightItem()) << "the refused drop left its highlight";

    // Server items dropped with Ctrl are copied: one F1 at the server into the folder dropped on.
    uitest::AutoAnswer answers(nullptr, IDOK);
    ASSERT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_COPY), OverTree(m_items, solo, MK_CONTROL));
    EXPECT_TRUE(target.OnDrop(&Tree(), &m_items, DROPEFFECT_COPY, ItemPoint(solo)));
    ASSERT_TRUE(uitest::WaitUntil([&] { return !Idx("My Files/Solo/x.txt").empty(); }));
    EXPECT_NE(std::string::npos, Control("LAST cmd=F1").find("cmd=F1"));
    EXPECT_FALSE(Idx("My Files/Work/x.txt").empty()) << "a copy leaves the source";
}

TEST_F(DropTest, AFolderHoveredPastTheDelayIsListedAndOpensAndNotBefore)
{
    ASSERT_NE(nullptr, Open({L"My Files"}));
    HTREEITEM work = Child(Child(nullptr, L"My Files"), L"Work");
    ASSERT_NE(nullptr, work);
    ASSERT_EQ(nullptr, Tree().GetChildItem(work)) << "Work was listed before the hover";
    AttachFiles();
    CSLDropTarget& target = m_left->DropTarget();
    target.m_pTick = FakeTick;
    auto over = [&](HTREEITEM item, DWORD at) {
        g_now = at;
        return target.OnDragOver(&Tree(), &m_files, 0, ItemPoint(item));
    };
    g_now = 10000;
    target.OnDragEnter(&Tree(), &m_files, 0, ItemPoint(work));
    EXPECT_EQ(work, Tree().GetDropHilightItem()) << "the enter did not highlight the folder";
    over(work, 10700);
    EXPECT_FALSE(Tree().GetItemState(work, TVIS_EXPANDED) & TVIS_EXPANDED) << "opened before 800 ms";
    // Moving to another folder and back restarts the clock.
    over(Child(Child(nullptr, L"My Files"), L"Solo"), 10750);
    over(work, 10800);
    over(work, 11500);
    EXPECT_FALSE(Tree().GetItemState(work, TVIS_EXPANDED) & TVIS_EXPANDED) << "the clock did not restart";
    // A folder whose password was not given stays shut and unlisted.
    m_frame.password = -1;
    over(work, 11700);
    EXPECT_FALSE(Tree().GetItemState(work, TVIS_EXPANDED) & TVIS_EXPANDED) << "opened without its password";
    EXPECT_EQ(nullptr, Tree().GetChildItem(work)) << "listed without its password";
    m_frame.password = 0;
    over(work, 12600);
    EXPECT_TRUE(Tree().GetItemState(work, TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_NE(nullptr, Child(work, L"a")) << "the hovered folder was not listed";
    target.OnDragLeave(&Tree());
    EXPECT_EQ(nullptr, Tree().GetDropHilightItem());
}

TEST_F(DropTest, TheListShowsTheEffectByRowPlaceAndOrigin)
{
    HTREEITEM work = Open({L"My Files", L"Work"});
    ASSERT_NE(nullptr, work);
    ASSERT_TRUE(Row(L"a") >= 0 && Row(L"b") >= 0 && Row(L"x.txt") >= 0);
    _PROTO_FOLDER_INFO a = RowRecord(L"a");
    AttachFiles();
    AttachItems({a}, L"SR", L"My Files/Work");
    List().SetItemState(Row(L"a"), LVIS_SELECTED, LVIS_SELECTED);
    const struct {
        const char* what;
        COleDataObject* data;
        const wchar_t* tag;
        const wchar_t* row;   // null: empty space
        DWORD keys;
        DROPEFFECT expected;
    } cases[] = {
        {"files onto a folder row", &m_files, L"CR", L"a", 0, DROPEFFECT_COPY},
        {"files onto a file row go to the folder shown", &m_files, L"CR", L"x.txt", 0, DROPEFFECT_COPY},
        {"files onto empty space", &m_files, L"", nullptr, 0, DROPEFFECT_COPY},
        {"this list's rows onto its empty space", &m_items, L"SR", nullptr, 0, DROPEFFECT_NONE},
        {"this list's selection onto itself", &m_items, L"SR", L"a", 0, DROPEFFECT_NONE},
        {"this list's rows onto another folder row", &m_items, L"SR", L"b", 0, DROPEFFECT_MOVE},
        {"this list's rows onto a file of the folder", &m_items, L"SR", L"x.txt", 0, DROPEFFECT_NONE},
        {"the tree's folder onto a file row goes to the folder shown", &m_items, L"SL", L"x.txt", MK_CONTROL,
         DROPEFFECT_COPY},
        {"the tree's folder onto empty space", &m_items, L"SL", nullptr, 0, DROPEFFECT_MOVE},
    };
    for (const auto& c : cases) {
        m_frame.SetDragSource(c.tag);
        const POINT at = c.row ? RowPoint(Row(c.row)) : EmptySpace();
        EXPECT_EQ(c.expected, OverList(*c.data, at, c.keys)) << c.what;
    }
    EXPECT_EQ(-1, List().GetNextItem(-1, LVNI_DROPHILITED)) << "the leave kept a highlight";
    // A folder row whose password was not given takes nothing; the folder shown is open already.
    m_frame.password = -1;
    m_frame.SetDragSource(L"");
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_NONE), OverList(m_files, RowPoint(Row(L"b")))) << "past the password";
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_COPY), OverList(m_files, RowPoint(Row(L"x.txt"))));
    m_frame.password = 0;

    // A tree folder dragged onto the list goes neither into itself nor below itself.
    m_frame.SetDragSource(L"SL");
    Tree().m_hDragItem = work;
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_NONE), OverList(m_items, EmptySpace())) << "into the folder shown";
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_NONE), OverList(m_items, RowPoint(Row(L"b")))) << "below itself";
    Tree().Expand(work, TVE_EXPAND);
    Tree().m_hDragItem = Child(work, L"a");
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_NONE), OverList(m_items, RowPoint(Row(L"a")))) << "onto its own row";
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_MOVE), OverList(m_items, RowPoint(Row(L"b")))) << "beside itself";
    Tree().m_hDragItem = nullptr;

    // The folder shown refuses uploads and new items: only a folder row that allows them takes the drop.
    ASSERT_EQ("OK", Control("PERM idx=" + Idx("My Files/Work") + " value=" + NoUploadNoNew()).substr(0, 2));
    Tree().DrawSubTreeNList(Tree().GetParentItem(work), TREE_REFRESH_TREE_ONLY, false);
    work = Child(Child(nullptr, L"My Files"), L"Work");
    ASSERT_NE(nullptr, work);
    Tree().SelectItem(work);
    WaitFilled();
    m_frame.SetDragSource(L"");
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_NONE), OverList(m_files, RowPoint(Row(L"x.txt"))));
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_NONE), OverList(m_files, EmptySpace()));
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_COPY), OverList(m_files, RowPoint(Row(L"b"))));
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_NONE), OverList(m_items, EmptySpace()));
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_MOVE), OverList(m_items, RowPoint(Row(L"b"))));
}

TEST_F(DropTest, DropsOnTheListUploadIntoTheRowsFolderAndPasteOnEmptySpaceIntoTheFolderShown)
{
    ASSERT_NE(nullptr, Open({L"My Files", L"Work"}));
    _PROTO_FOLDER_INFO file = RowRecord(L"x.txt");
    CSRDropTarget& target = m_right->DropTarget();
    AttachFiles();
    const POINT onB = RowPoint(Row(L"b"));
    ASSERT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_COPY), target.OnDragOver(&List(), &m_files, 0, onB));
    EXPECT_TRUE(target.OnDrop(&List(), &m_files, DROPEFFECT_COPY, onB));
    EXPECT_EQ((std::vector<std::string>{"upload 1 into " + Idx("My Files/Work/b")}), m_ops.events);
    EXPECT_EQ(-1, List().GetNextItem(-1, LVNI_DROPHILITED));

    // Solo shows one folder row, selected; the drop on the empty space beside it goes into Solo
    // itself, never into the selected row.
    ASSERT_NE(nullptr, Open({L"My Files", L"Solo"}));
    ASSERT_EQ(1, List().GetItemCount());
    List().SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    AttachItems({file}, L"SR", L"My Files/Work");
    target.OnDragEnter(&List(), &m_items, MK_CONTROL, RowPoint(0));
    target.OnDragOver(&List(), &m_items, MK_CONTROL, RowPoint(0));
    ASSERT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_COPY), target.OnDragOver(&List(), &m_items, MK_CONTROL, EmptySpace()));
    uitest::AutoAnswer answers(nullptr, IDOK);
    EXPECT_TRUE(target.OnDrop(&List(), &m_items, DROPEFFECT_COPY, EmptySpace()));
    ASSERT_TRUE(uitest::WaitUntil([&] { return !Idx("My Files/Solo/x.txt").empty(); }))
        << "the paste did not go into the folder shown";
    EXPECT_TRUE(Idx("My Files/Solo/only/x.txt").empty()) << "the paste went into the only folder row";
    EXPECT_NE(std::string::npos, Control("LAST cmd=F1").find("cmd=F1"));
    EXPECT_FALSE(Idx("My Files/Work/x.txt").empty()) << "a copy leaves the source";
}

// OLE drops at once when the pointer is let go as it arrives: the enter's answer is what the
// drop performs, so the enter already follows the rules of the row under the pointer.
TEST_F(DropTest, ADropRightAfterTheEnterGoesWhereTheRulesSay)
{
    ASSERT_NE(nullptr, Open({L"My Files", L"Work"}));
    AttachFiles();
    auto enterAndDrop = [&](POINT client) {
        const Outcome outcome = EnterAndDrop(m_right->DropTarget(), List(), m_files, client);
        EXPECT_EQ(outcome.entered, outcome.dropped) << "the drop did otherwise than the enter said";
        return outcome.dropped;
    };
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), enterAndDrop(RowPoint(Row(L"b"))));
    EXPECT_EQ((std::vector<std::string>{"upload 1 into " + Idx("My Files/Work/b")}), m_ops.events)
        << "the files went to the folder shown, not to the folder row under the pointer";

    // Onto a folder row that takes no uploads: nothing at all.
    ASSERT_EQ("OK", Control("PERM idx=" + Idx("My Files/Work/b") + " value=" + NoUploadNoNew()).substr(0, 2));
    Tree().DrawSubTreeNList(Tree().GetSelectedItem(), TREE_REFRESH_TREE_AND_LIST, false);
    WaitFilled();
    m_ops.events.clear();
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), enterAndDrop(RowPoint(Row(L"b"))));
    EXPECT_TRUE(m_ops.events.empty()) << m_ops.events.front();
    EXPECT_EQ(-1, List().GetNextItem(-1, LVNI_DROPHILITED)) << "the refused drop left its highlight";
}

// A file's permissions say nothing about the folder it lies in: rows dropped on a file row that
// refuses new items are pasted into the folder shown, as the effect shown promised.
TEST_F(DropTest, RowsDroppedOnAFileRowGoIntoTheFolderShownWhateverTheFileAllows)
{
    ASSERT_NE(nullptr, Open({L"My Files", L"Solo"}));
    _PROTO_FOLDER_INFO only = RowRecord(L"only");
    ASSERT_EQ("OK", Control("PERM idx=" + Idx("My Files/Work/x.txt") + " value=" + NoUploadNoNew()).substr(0, 2));
    ASSERT_NE(nullptr, Open({L"My Files", L"Work"}));
    AttachItems({only}, L"SR", L"My Files/Solo");
    CSRDropTarget& target = m_right->DropTarget();
    const POINT onFile = RowPoint(Row(L"x.txt"));
    target.OnDragEnter(&List(), &m_items, MK_CONTROL, onFile);
    ASSERT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_COPY), target.OnDragOver(&List(), &m_items, MK_CONTROL, onFile));
    uitest::AutoAnswer answers(nullptr, IDOK);
    EXPECT_TRUE(target.OnDrop(&List(), &m_items, DROPEFFECT_COPY, onFile));
    EXPECT_TRUE(uitest::WaitUntil([&] { return !Idx("My Files/Work/only").empty(); }))
        << "the drop on the file row pasted nothing";
    EXPECT_FALSE(Idx("My Files/Solo/only").empty()) << "a copy leaves the source";
}

// A drop hands its own items to the paste: what the user had copied stays on the clipboard,
// after a copy onto the tree and after a move onto the list alike.
TEST_F(DropTest, ADropPastesItsOwnItemsAndLeavesTheClipboardAlone)
{
    HTREEITEM work = Open({L"My Files", L"Work"});
    ASSERT_NE(nullptr, work);
    HTREEITEM solo = Child(Child(nullptr, L"My Files"), L"Solo");
    ASSERT_NE(nullptr, solo);
    AttachItems({RowRecord(L"x.txt")}, L"SR", L"My Files/Work");
    PutClipboardText(L"the user's own words");
    uitest::AutoAnswer answers(nullptr, IDOK);

    m_frame.SetDragSource(L"SR");
    const Outcome copied = EnterAndDrop(m_left->DropTarget(), Tree(), m_items, ItemPoint(solo), MK_CONTROL);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), copied.dropped);
    ASSERT_TRUE(uitest::WaitUntil([&] { return !Idx("My Files/Solo/x.txt").empty(); })) << "the copy did not arrive";
    EXPECT_NE(std::string::npos, Control("LAST cmd=F1").find("cmd=F1"));
    EXPECT_EQ(L"the user's own words", ClipboardText()) << "the tree's drop took the clipboard";
    EXPECT_FALSE(servercmd::ClipboardHasServerItems());

    WaitFilled();
    m_frame.SetDragSource(L"SR");
    const Outcome moved = EnterAndDrop(m_right->DropTarget(), List(), m_items, RowPoint(Row(L"b")));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_MOVE), moved.dropped);
    ASSERT_TRUE(uitest::WaitUntil([&] { return !Idx("My Files/Work/b/x.txt").empty(); })) << "the move did not arrive";
    EXPECT_TRUE(Idx("My Files/Work/x.txt").empty()) << "a move leaves nothing behind";
    EXPECT_EQ(L"the user's own words", ClipboardText()) << "the list's drop took or emptied the clipboard";
    EXPECT_FALSE(servercmd::ClipboardHasServerItems());
}

// What the pointer shows over a folder is what the drop does there, on either pane, for each
// way the folder may take new folders and new files.
TEST_F(DropTest, TheDropDoesWhatTheEffectShownPromisedForEachPermission)
{
    const struct {
        const wchar_t* folder;
        std::initializer_list<int> refused;   // NEW_DIR 5, NEW_FILE 6
        DWORD expected;
    } cases[] = {
        {L"both", {}, DROPEFFECT_COPY},
        {L"dirs", {6}, DROPEFFECT_COPY},
        {L"files", {5}, DROPEFFECT_COPY},
        {L"none", {5, 6}, DROPEFFECT_NONE},
    };
    for (const auto& c : cases) {
        const std::string path = "My Files/Rules/" + std::string(CStringA(c.folder));
        ASSERT_EQ("OK", Control("FOLDER user=road -- " + path).substr(0, 2));
        ASSERT_EQ("OK", Control("PERM idx=" + Idx(path) + " value=" + Refusing(c.refused)).substr(0, 2));
    }
    for (const char* file : {"for-list.txt", "for-tree.txt"})
        ASSERT_EQ("OK", Control(std::string("FILE user=road size=10 -- My Files/Rules/") + file).substr(0, 2));
    HTREEITEM rules = Open({L"My Files", L"Rules"});
    ASSERT_NE(nullptr, rules);
    const _PROTO_FOLDER_INFO forList = RowRecord(L"for-list.txt");
    const _PROTO_FOLDER_INFO forTree = RowRecord(L"for-tree.txt");
    uitest::AutoAnswer answers(nullptr, IDOK);
    for (const auto& c : cases) {
        const std::string where = std::string(CStringA(c.folder));
        const bool arrives = c.expected != DROPEFFECT_NONE;
        WaitFilled();

        AttachItems({forList}, L"SR", L"My Files/Rules");
        m_frame.SetDragSource(L"SR");
        const Outcome list = EnterAndDrop(m_right->DropTarget(), List(), m_items, RowPoint(Row(c.folder)), MK_CONTROL);
        EXPECT_EQ(c.expected, list.entered) << "list, " << where;
        EXPECT_EQ(c.expected, list.dropped) << "list, " << where;
        EXPECT_EQ(arrives, uitest::WaitUntil([&] { return !Idx("My Files/Rules/" + where + "/for-list.txt").empty(); }, 1500))
            << "list, " << where << ": the drop did otherwise than the effect shown";

        AttachItems({forTree}, L"SR", L"My Files/Rules");
        m_frame.SetDragSource(L"SR");
        const Outcome tree = EnterAndDrop(m_left->DropTarget(), Tree(), m_items, ItemPoint(Child(rules, c.folder)), MK_CONTROL);
        EXPECT_EQ(c.expected, tree.entered) << "tree, " << where;
        EXPECT_EQ(c.expected, tree.dropped) << "tree, " << where;
        EXPECT_EQ(arrives, uitest::WaitUntil([&] { return !Idx("My Files/Rules/" + where + "/for-tree.txt").empty(); }, 1500))
            << "tree, " << where << ": the drop did otherwise than the effect shown";
    }
}

// A drop that does nothing says so, and the source keeps what it offered for a move.
TEST_F(DropTest, ADropThatDoesNothingReportsNoEffect)
{
    HTREEITEM work = Open({L"My Files", L"Work"});
    ASSERT_NE(nullptr, work);
    HTREEITEM solo = Child(Child(nullptr, L"My Files"), L"Solo");
    HTREEITEM locked = Child(Child(nullptr, L"My Files"), L"Locked");
    ASSERT_TRUE(solo && locked);
    AttachItems({RowRecord(L"x.txt")}, L"SR", L"My Files/Work");
    // The file may no longer be copied or moved: the server refuses the paste.
    ASSERT_EQ("OK", Control("PERM idx=" + Idx("My Files/Work/x.txt") + " value=" + Refusing({2, 11})).substr(0, 2));
    uitest::AutoAnswer boxes(L"Corvane IXO MessageBox", IDOK);
    m_frame.SetDragSource(L"SR");
    const Outcome refused = EnterAndDrop(m_left->DropTarget(), Tree(), m_items, ItemPoint(solo));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_MOVE), refused.entered);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), refused.dropped) << "a refused paste reported as done";
    EXPECT_GE(boxes.Count(), 1) << "the server's refusal was not shown";
    EXPECT_TRUE(Idx("My Files/Solo/x.txt").empty());
    EXPECT_FALSE(Idx("My Files/Work/x.txt").empty());
    WaitFilled();
    m_frame.SetDragSource(L"SR");
    const Outcome onList = EnterAndDrop(m_right->DropTarget(), List(), m_items, RowPoint(Row(L"b")));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_MOVE), onList.entered);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), onList.dropped) << "a refused paste on the list reported as done";
    EXPECT_GE(boxes.Count(), 2) << "the server's refusal was not shown";
    EXPECT_TRUE(Idx("My Files/Work/b/x.txt").empty());

    // Files handed to a folder that takes no uploads are not uploaded, and the drop says so.
    AttachFiles();
    m_ops.events.clear();
    EXPECT_FALSE(m_left->DropData(locked, &m_files, DROPEFFECT_COPY));
    EXPECT_TRUE(m_ops.events.empty()) << m_ops.events.front();
    EXPECT_TRUE(m_left->DropData(solo, &m_files, DROPEFFECT_COPY));
    EXPECT_EQ((std::vector<std::string>{"upload 1 into " + Idx("My Files/Solo")}), m_ops.events);
}

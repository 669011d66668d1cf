// The key tables of the four panes, one test per table, every row as data: the key with the held
// keys, what the pane knows at that moment, and the command, marks and clipboard that follow.
#include "PaneKeyRules.h"
#include <gtest/gtest.h>
#include <string>

using namespace panekeys;

namespace {

const char* Name(Action a)
{
    switch (a) {
    case Action::None: return "none";
    case Action::Copy: return "copy";
    case Action::Paste: return "paste";
    case Action::Cut: return "cut";
    case Action::Delete: return "delete into the bin";
    case Action::DeleteForGood: return "delete for good";
    case Action::BinDelete: return "delete in the bin";
    case Action::Rename: return "rename";
    case Action::Search: return "search";
    case Action::SelectAll: return "select all";
    case Action::Refresh: return "refresh";
    case Action::Parent: return "parent";
    }
    return "?";
}

std::string Describe(const KeyOutcome& o)
{
    static const char* marks[] = {"no marks", "this list's marks", "every pane's marks"};
    return std::string(Name(o.action)) + ", " + marks[static_cast<int>(o.clear)] +
           (o.emptyClipboard ? ", clipboard emptied" : "");
}

KeyOutcome Out(Action a, ClearMarks c = ClearMarks::None, bool empty = false)
{
    KeyOutcome o;
    o.action = a;
    o.clear = c;
    o.emptyClipboard = empty;
    return o;
}

const KeyOutcome kNothing = Out(Action::None);
const KeyOutcome kCancelCut = Out(Action::None, ClearMarks::AllPanes, true);

KeyPress Key(WORD key, bool ctrl = false, bool shift = false)
{
    KeyPress p;
    p.key = key;
    p.leftControl = ctrl;
    p.leftShift = shift;
    return p;
}

// Facts of the server list: a row selected whose buttons are all on and which may go both ways.
ServerListKeyFacts ListAllowed()
{
    ServerListKeyFacts f;
    f.selected = 1;
    f.copy = f.paste = f.cut = f.remove = true;
    f.firstDeletes = f.firstDeletesForGood = true;
    f.renameOne = true;
    return f;
}

}

TEST(PaneKeyTables, TheServerListsKeysFollowItsTableRowByRow)
{
    ServerListKeyFacts none = ListAllowed();
    none.selected = 0;
    none.renameOne = false;
    ServerListKeyFacts denied = ListAllowed();
    denied.copy = denied.paste = denied.cut = denied.remove = denied.renameOne = false;
    ServerListKeyFacts binOnly = ListAllowed();
    binOnly.firstDeletesForGood = false;
    ServerListKeyFacts goodOnly = ListAllowed();
    goodOnly.firstDeletes = false;
    ServerListKeyFacts two = ListAllowed();
    two.selected = 2;
    two.renameOne = false;
    ServerListKeyFacts inBin = ListAllowed();
    inBin.inBin = true;
    const struct {
        const char* row;
        KeyPress press;
        ServerListKeyFacts facts;
        KeyOutcome expected;
    } rows[] = {
        {"Ctrl+C copies and clears this list's marks", Key('C', true), ListAllowed(), Out(Action::Copy, ClearMarks::ThisList)},
        {"Ctrl+C clears the marks even when Copy is off", Key('C', true), denied, Out(Action::None, ClearMarks::ThisList)},
        {"C alone is no key of the list", Key('C'), ListAllowed(), kNothing},
        {"Ctrl+V pastes when Paste is on", Key('V', true), ListAllowed(), Out(Action::Paste)},
        {"Ctrl+V does nothing when Paste is off", Key('V', true), denied, kNothing},
        {"Ctrl+X cuts when Cut is on", Key('X', true), ListAllowed(), Out(Action::Cut)},
        {"Ctrl+X does nothing when Cut is off", Key('X', true), denied, kNothing},
        {"Ctrl+D deletes into the bin", Key('D', true), ListAllowed(), Out(Action::Delete)},
        {"Ctrl+D deletes for good a row that may only go for good", Key('D', true), goodOnly, Out(Action::DeleteForGood)},
        {"Ctrl+D does nothing without a selected row", Key('D', true), none, kNothing},
        {"Ctrl+D does nothing when Delete is off", Key('D', true), denied, kNothing},
        {"Delete deletes into the bin", Key(VK_DELETE), ListAllowed(), Out(Action::Delete)},
        {"Delete deletes for good a row that may only go for good", Key(VK_DELETE), goodOnly, Out(Action::DeleteForGood)},
        {"Delete does nothing without a selected row", Key(VK_DELETE), none, kNothing},
        {"Delete does nothing when Delete is off", Key(VK_DELETE), denied, kNothing},
        {"Shift+Delete deletes for good", Key(VK_DELETE, false, true), ListAllowed(), Out(Action::DeleteForGood)},
        {"Shift+Delete puts a row that may only go into the bin there", Key(VK_DELETE, false, true), binOnly,
         Out(Action::Delete)},
        {"Shift+Delete does nothing when Delete is off", Key(VK_DELETE, false, true), denied, kNothing},
        {"Delete in the bin is the bin's delete", Key(VK_DELETE), inBin, Out(Action::BinDelete)},
        {"Shift+Delete in the bin is the bin's delete", Key(VK_DELETE, false, true), inBin, Out(Action::BinDelete)},
        {"F2 renames the one row that allows it", Key(VK_F2), ListAllowed(), Out(Action::Rename)},
        {"F2 does nothing with two rows", Key(VK_F2), two, kNothing},
        {"F2 does nothing on a row without RENAME", Key(VK_F2), denied, kNothing},
        {"Esc clears every pane's marks and the clipboard", Key(VK_ESCAPE), none, kCancelCut},
        {"Ctrl+A selects every row", Key('A', true), none, Out(Action::SelectAll)},
        {"A alone is no key of the list", Key('A'), none, kNothing},
        {"F5 refreshes", Key(VK_F5), none, Out(Action::Refresh)},
        {"Backspace goes to the parent", Key(VK_BACK), none, Out(Action::Parent)},
        {"Other keys do nothing", Key(VK_F3), ListAllowed(), kNothing},
    };
    for (const auto& r : rows) {
        const KeyOutcome actual = ServerListKey(r.press, r.facts);
        EXPECT_TRUE(actual == r.expected) << r.row << ": expected " << Describe(r.expected) << ", got "
                                          << Describe(actual);
    }
}

TEST(PaneKeyTables, TheServerTreesKeysFollowItsTableRowByRow)
{
    ServerTreeKeyFacts all;
    all.copy = all.paste = all.cut = all.remove = all.deletes = all.deletesForGood = all.rename = all.search = true;
    ServerTreeKeyFacts denied;
    ServerTreeKeyFacts binOnly = all;
    binOnly.deletesForGood = false;
    ServerTreeKeyFacts goodOnly = all;
    goodOnly.deletes = false;
    // The bin itself: both flags, but the bar's delete is off.
    ServerTreeKeyFacts bin = all;
    bin.remove = false;
    ServerTreeKeyFacts inBin = all;
    inBin.inBin = true;
    const struct {
        const char* row;
        KeyPress press;
        ServerTreeKeyFacts facts;
        KeyOutcome expected;
    } rows[] = {
        {"Ctrl+C copies when Copy is on", Key('C', true), all, Out(Action::Copy)},
        {"Ctrl+C does nothing when Copy is off", Key('C', true), denied, kNothing},
        {"Ctrl+V pastes when Paste is on", Key('V', true), all, Out(Action::Paste)},
        {"Ctrl+V does nothing when Paste is off", Key('V', true), denied, kNothing},
        {"Ctrl+X clears every pane's marks and cuts", Key('X', true), all, Out(Action::Cut, ClearMarks::AllPanes)},
        {"Ctrl+X clears the marks when Cut is off", Key('X', true), denied, Out(Action::None, ClearMarks::AllPanes)},
        {"Ctrl+D deletes into the bin", Key('D', true), all, Out(Action::Delete)},
        {"Ctrl+D deletes for good a folder that may only go for good", Key('D', true), goodOnly, Out(Action::DeleteForGood)},
        {"Delete deletes into the bin", Key(VK_DELETE), all, Out(Action::Delete)},
        {"Delete deletes for good a folder that may only go for good", Key(VK_DELETE), goodOnly, Out(Action::DeleteForGood)},
        {"Delete does nothing when Delete is off", Key(VK_DELETE), denied, kNothing},
        {"Shift+Delete deletes for good", Key(VK_DELETE, false, true), all, Out(Action::DeleteForGood)},
        {"Shift+Delete puts a folder that may only go into the bin there", Key(VK_DELETE, false, true), binOnly,
         Out(Action::Delete)},
        {"Shift+Delete leaves the bin itself alone", Key(VK_DELETE, false, true), bin, kNothing},
        {"Delete in the bin is the bin's delete", Key(VK_DELETE), inBin, Out(Action::BinDelete)},
        {"Ctrl+F searches when SEARCH is on", Key('F', true), all, Out(Action::Search)},
        {"Ctrl+F does nothing without SEARCH", Key('F', true), denied, kNothing},
        {"F2 renames with RENAME", Key(VK_F2), all, Out(Action::Rename)},
        {"F2 does nothing without RENAME", Key(VK_F2), denied, kNothing},
        {"F5 refreshes", Key(VK_F5), denied, Out(Action::Refresh)},
        {"Esc clears every pane's marks and the clipboard", Key(VK_ESCAPE), denied, kCancelCut},
        {"C alone is no key of the tree", Key('C'), all, kNothing},
    };
    for (const auto& r : rows) {
        const KeyOutcome actual = ServerTreeKey(r.press, r.facts);
        EXPECT_TRUE(actual == r.expected) << r.row << ": expected " << Describe(r.expected) << ", got "
                                          << Describe(actual);
    }
}

TEST(PaneKeyTables, TheLocalTreesKeysFollowItsTableRowByRow)
{
    LocalTreeKeyFacts folder;
    folder.item = true;
    folder.canRename = true;
    LocalTreeKeyFacts fixed = folder;
    fixed.canRename = false;
    LocalTreeKeyFacts none;
    const struct {
        const char* row;
        KeyPress press;
        LocalTreeKeyFacts facts;
        KeyOutcome expected;
    } rows[] = {
        {"Ctrl+C copies", Key('C', true), folder, Out(Action::Copy)},
        {"Ctrl+V pastes", Key('V', true), folder, Out(Action::Paste)},
        {"Ctrl+V does nothing without a selected folder", Key('V', true), none, kNothing},
        {"Ctrl+X clears every pane's marks and cuts", Key('X', true), folder, Out(Action::Cut, ClearMarks::AllPanes)},
        {"Ctrl+D deletes", Key('D', true), folder, Out(Action::Delete)},
        {"Delete deletes", Key(VK_DELETE), folder, Out(Action::Delete)},
        {"F2 renames what the shell lets rename", Key(VK_F2), folder, Out(Action::Rename)},
        {"F2 does nothing otherwise", Key(VK_F2), fixed, kNothing},
        {"F5 refreshes the selected folder", Key(VK_F5), folder, Out(Action::Refresh)},
        {"F5 does nothing without a selection", Key(VK_F5), none, kNothing},
        {"Esc clears every pane's marks and the clipboard", Key(VK_ESCAPE), none, kCancelCut},
        {"D alone is no key of the tree", Key('D'), folder, kNothing},
    };
    for (const auto& r : rows) {
        const KeyOutcome actual = LocalTreeKey(r.press, r.facts);
        EXPECT_TRUE(actual == r.expected) << r.row << ": expected " << Describe(r.expected) << ", got "
                                          << Describe(actual);
    }
}

TEST(PaneKeyTables, TheLocalListsKeysFollowItsTableRowByRow)
{
    LocalListKeyFacts none, one, two;
    one.selected = 1;
    two.selected = 2;
    const struct {
        const char* row;
        KeyPress press;
        LocalListKeyFacts facts;
        KeyOutcome expected;
    } rows[] = {
        {"Ctrl+C clears this list's marks and copies", Key('C', true), one, Out(Action::Copy, ClearMarks::ThisList)},
        {"Ctrl+C without a row clears the marks only", Key('C', true), none, Out(Action::None, ClearMarks::ThisList)},
        {"Ctrl+V pastes", Key('V', true), none, Out(Action::Paste)},
        {"Ctrl+X clears every pane's marks and cuts", Key('X', true), one, Out(Action::Cut, ClearMarks::AllPanes)},
        {"Ctrl+X without a row clears the marks only", Key('X', true), none, Out(Action::None, ClearMarks::AllPanes)},
        {"Ctrl+D deletes into the bin", Key('D', true), one, Out(Action::Delete)},
        {"Ctrl+D does nothing without a row", Key('D', true), none, kNothing},
        {"Delete deletes into the bin", Key(VK_DELETE), two, Out(Action::Delete)},
        {"Shift+Delete deletes for good", Key(VK_DELETE, false, true), two, Out(Action::DeleteForGood)},
        {"Delete does nothing without a row", Key(VK_DELETE), none, kNothing},
        {"F2 renames exactly one row", Key(VK_F2), one, Out(Action::Rename)},
        {"F2 does nothing with two rows", Key(VK_F2), two, kNothing},
        {"Esc clears every pane's marks and the clipboard", Key(VK_ESCAPE), none, kCancelCut},
        {"Ctrl+A selects every row", Key('A', true), none, Out(Action::SelectAll)},
        {"F5 refreshes", Key(VK_F5), none, Out(Action::Refresh)},
        {"Backspace goes to the parent", Key(VK_BACK), none, Out(Action::Parent)},
        {"V alone is no key of the list", Key('V'), one, kNothing},
    };
    for (const auto& r : rows) {
        const KeyOutcome actual = LocalListKey(r.press, r.facts);
        EXPECT_TRUE(actual == r.expected) << r.row << ": expected " << Describe(r.expected) << ", got "
                                          << Describe(actual);
    }
}

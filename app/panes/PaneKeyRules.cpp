// The four panes' key tables.
#include "PaneKeyRules.h"

namespace panekeys {

namespace {

KeyOutcome Run(Action action, ClearMarks clear = ClearMarks::None)
{
    KeyOutcome outcome;
    outcome.action = action;
    outcome.clear = clear;
    return outcome;
}

// Esc drops a pending cut everywhere: the marks go and so does the clipboard's content.
KeyOutcome CancelCut()
{
    KeyOutcome outcome;
    outcome.clear = ClearMarks::AllPanes;
    outcome.emptyClipboard = true;
    return outcome;
}

// A plain delete goes into the bin unless the item may only be deleted for good; Shift asks for
// a delete for good unless the item may only go into the bin. Inside the server's bin every
// delete is for good, with the bin's own command and question.
Action DeleteAction(bool shift, bool deletes, bool deletesForGood, bool inBin)
{
    if (inBin)
        return Action::BinDelete;
    if (shift)
        return deletes && !deletesForGood ? Action::Delete : Action::DeleteForGood;
    return !deletes && deletesForGood ? Action::DeleteForGood : Action::Delete;
}

}

KeyOutcome ServerListKey(const KeyPress& press, const ServerListKeyFacts& facts)
{
    const bool ctrl = press.leftControl;
    const bool canDelete = facts.remove && facts.selected > 0;
    switch (press.key) {
    case 'C':
        // The marks go even when Copy is off.
        return ctrl ? Run(facts.copy ? Action::Copy : Action::None, ClearMarks::ThisList) : KeyOutcome();
    case 'V':
        return Run(ctrl && facts.paste ? Action::Paste : Action::None);
    case 'X':
        return Run(ctrl && facts.cut ? Action::Cut : Action::None);
    case 'D':
        if (ctrl && canDelete)
            return Run(DeleteAction(false, facts.firstDeletes, facts.firstDeletesForGood, facts.inBin));
        return KeyOutcome();
    case VK_DELETE:
        if (canDelete)
            return Run(DeleteAction(press.leftShift, facts.firstDeletes, facts.firstDeletesForGood, facts.inBin));
        return KeyOutcome();
    case VK_F2:
        return Run(facts.renameOne ? Action::Rename : Action::None);
    case VK_ESCAPE:
        return CancelCut();
    case 'A':
        return Run(ctrl ? Action::SelectAll : Action::None);
    case VK_F5:
        return Run(Action::Refresh);
    case VK_BACK:
        return Run(Action::Parent);
    default:
        return KeyOutcome();
    }
}

KeyOutcome ServerTreeKey(const KeyPress& press, const ServerTreeKeyFacts& facts)
{
    const bool ctrl = press.leftControl;
    switch (press.key) {
    case 'C':
        return Run(ctrl && facts.copy ? Action::Copy : Action::None);
    case 'V':
        return Run(ctrl && facts.paste ? Action::Paste : Action::None);
    case 'X':
        return ctrl ? Run(facts.cut ? Action::Cut : Action::None, ClearMarks::AllPanes) : KeyOutcome();
    case 'D':
        if (ctrl && facts.remove)
            return Run(DeleteAction(false, facts.deletes, facts.deletesForGood, facts.inBin));
        return KeyOutcome();
    case VK_DELETE:
        // Shift too needs a folder that can be deleted: the bin itself never goes.
        if (facts.remove)
            return Run(DeleteAction(press.leftShift, facts.deletes, facts.deletesForGood, facts.inBin));
        return KeyOutcome();
    case 'F':
        return Run(ctrl && facts.search ? Action::Search : Action::None);
    case VK_F2:
        return Run(facts.rename ? Action::Rename : Action::None);
    case VK_F5:
        return Run(Action::Refresh);
    case VK_ESCAPE:
        return CancelCut();
    default:
        return KeyOutcome();
    }
}

KeyOutcome LocalTreeKey(const KeyPress& press, const LocalTreeKeyFacts& facts)
{
    if (press.key == VK_ESCAPE)
        return CancelCut();
    if (!facts.item)
        return KeyOutcome();
    const bool ctrl = press.leftControl;
    switch (press.key) {
    case 'C':
        return Run(ctrl ? Action::Copy : Action::None);
    case 'V':
        return Run(ctrl ? Action::Paste : Action::None);
    case 'X':
        return ctrl ? Run(Action::Cut, ClearMarks::AllPanes) : KeyOutcome();
    case 'D':
        return Run(ctrl ? Action::Delete : Action::None);
    case VK_DELETE:
        return Run(Action::Delete);
    case VK_F2:
        return Run(facts.canRename ? Action::Rename : Action::None);
    case VK_F5:
        return Run(Action::Refresh);
    default:
        return KeyOutcome();
    }
}

KeyOutcome LocalListKey(const KeyPress& press, const LocalListKeyFacts& facts)
{
    const bool ctrl = press.leftControl;
    const bool any = facts.selected > 0;
    switch (press.key) {
    case 'C':
        return ctrl ? Run(any ? Action::Copy : Action::None, ClearMarks::ThisList) : KeyOutcome();
    case 'V':
        return Run(ctrl ? Action::Paste : Action::None);
    case 'X':
        return ctrl ? Run(any ? Action::Cut : Action::None, ClearMarks::AllPanes) : KeyOutcome();
    case 'D':
        return Run(ctrl && any ? Action::Delete : Action::None);
    case VK_DELETE:
        return Run(!any ? Action::None : press.leftShift ? Action::DeleteForGood : Action::Delete);
    case VK_F2:
        return Run(facts.selected == 1 ? Action::Rename : Action::None);
    case VK_ESCAPE:
        return CancelCut();
    case 'A':
        return Run(ctrl ? Action::SelectAll : Action::None);
    case VK_F5:
        return Run(Action::Refresh);
    case VK_BACK:
        return Run(Action::Parent);
    default:
        return KeyOutcome();
    }
}

}

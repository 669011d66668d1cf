// The mark both folder trees give their folder while another pane has the focus: the system's
// unfocused selection is hardly told from the pane's background.
#pragma once
#include "TreeCtrl.h"

namespace treelook {

constexpr COLORREF kUnfocusedSelection = RGB(236, 233, 216);

// The tree's reflected NM_CUSTOMDRAW: asks for item drawing and colours the selected item while
// the tree lacks the focus (a drop highlight keeps the system's colours).
void MarkUnfocusedSelection(CTreeCtrl& tree, NMHDR* nm, LRESULT* result);

}

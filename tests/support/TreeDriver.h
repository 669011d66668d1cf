// Driving a tree control as a user does: real mouse clicks through the system's input queue on
// an item's label, check box or expand button, and reading items back by their texts.
//
// Callable from the test thread while another thread runs the tree's window.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>
#include "WindowDriver.h"   // ClickWithMouse

namespace uitest {

// Presses the left button at a client point of hwnd, moves in steps to another and releases.
void DragWithMouse(HWND hwnd, POINT from, POINT to);

std::wstring TreeItemText(HWND tree, HTREEITEM item);
std::vector<HTREEITEM> TreeChildren(HWND tree, HTREEITEM parent);
// The child of parent (the root items for null) with exactly that text, or null.
HTREEITEM TreeChild(HWND tree, HTREEITEM parent, const std::wstring& text);
// The item at the end of texts joined by "/" from the root item, or null.
HTREEITEM TreeItemByPath(HWND tree, const std::wstring& path);
bool TreeIsChecked(HWND tree, HTREEITEM item);
bool TreeIsExpanded(HWND tree, HTREEITEM item);
// Whether the item shows an expand button (its children flag).
bool TreeHasChildren(HWND tree, HTREEITEM item);

// A click on the item's check box, its label, or its expand button; false when the item is not
// on screen or the point was not found.
bool TreeClickCheckBox(HWND tree, HTREEITEM item);
bool TreeClickLabel(HWND tree, HTREEITEM item);
bool TreeClickButton(HWND tree, HTREEITEM item);

}

// Steps a user takes in the folder selection tree, shared by the tests that choose folders in
// it: finding a drive, opening folders down to one with clicks on their buttons.
#pragma once
#include "TreeDriver.h"
#include "WindowDriver.h"
#include <string>

namespace foldertree {

// The item of the drive that holds path ("T:\..." -> the "(T:)" item under Computer), or null.
inline HTREEITEM DriveItem(HWND tree, const std::wstring& path)
{
    const std::vector<HTREEITEM> roots = uitest::TreeChildren(tree, nullptr);
    if (roots.empty())
        return nullptr;
    const std::vector<HTREEITEM> computer = uitest::TreeChildren(tree, roots[0]);
    if (computer.empty())
        return nullptr;
    const std::wstring upper = std::wstring(1, static_cast<wchar_t>(towupper(path[0]))) + L":";
    const std::wstring lower = std::wstring(1, static_cast<wchar_t>(towlower(path[0]))) + L":";
    for (HTREEITEM drive : uitest::TreeChildren(tree, computer[0])) {
        const std::wstring text = uitest::TreeItemText(tree, drive);
        if (text.find(upper) != std::wstring::npos || text.find(lower) != std::wstring::npos)
            return drive;
    }
    return nullptr;
}

// Desktop/Computer/drive texts as the tree shows them, then the folders of path below its
// drive joined by "/": the tree path the selection stores for path.
inline std::wstring TreePathOf(HWND tree, const std::wstring& path)
{
    HTREEITEM drive = DriveItem(tree, path);
    if (!drive)
        return std::wstring();
    HTREEITEM desktop = uitest::TreeChildren(tree, nullptr).at(0);
    HTREEITEM computer = uitest::TreeChildren(tree, desktop).at(0);
    std::wstring treePath = uitest::TreeItemText(tree, desktop) + L"/" + uitest::TreeItemText(tree, computer) + L"/" +
                            uitest::TreeItemText(tree, drive);
    std::wstring rest = path.size() > 3 ? path.substr(3) : std::wstring();
    for (wchar_t& c : rest)
        if (c == L'\\')
            c = L'/';
    return rest.empty() ? treePath : treePath + L"/" + rest;
}

// A click on the item's button; clicked again when a loaded machine lost the first one.
inline void Open(HWND tree, HTREEITEM item)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!item || !uitest::TreeHasChildren(tree, item) || uitest::TreeIsExpanded(tree, item) ||
            !uitest::TreeClickButton(tree, item))
            return;
        if (uitest::WaitUntil([&] { return uitest::TreeIsExpanded(tree, item) || !uitest::TreeHasChildren(tree, item); }, 5000))
            return;
    }
}

// Opens the folders from the drive down to path (a full path) and the folder itself; its item.
inline HTREEITEM Reveal(HWND tree, const std::wstring& path)
{
    HTREEITEM item = nullptr;
    uitest::WaitUntil([&] { return (item = DriveItem(tree, path)) != nullptr; }, 5000);
    std::wstring rest = path.size() > 3 ? path.substr(3) : std::wstring();
    size_t start = 0;
    while (item && start <= rest.size() && !rest.empty()) {
        Open(tree, item);
        const size_t slash = rest.find(L'\\', start);
        item = uitest::TreeChild(tree, item, rest.substr(start, slash == std::wstring::npos ? std::wstring::npos : slash - start));
        if (slash == std::wstring::npos)
            break;
        start = slash + 1;
    }
    Open(tree, item);
    return item;
}

}

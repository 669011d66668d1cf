// CToviMenu: the tray's pop-up menu with items drawn by the program: a light icon column,
// an optional 16 x 16 icon per item, a highlighted selection box and shortcut text after a tab.
//
// Each item keeps its own copy of its text for as long as the menu lives, so the caller's
// string may go at once. UI thread only.
#pragma once
#include "ImageList.h"
#include "Menu.h"
#include <memory>
#include <vector>

class CToviMenu : public CMenu {
public:
    CToviMenu();
    ~CToviMenu() override;

    // Clears the entries and makes the image list; call before appending.
    void Initialise();
    // An owner-drawn item with its own text copy; icon may be null. flags: MF_GRAYED and the like.
    BOOL AppendItem(UINT id, const wchar_t* text, HICON icon, UINT flags = 0);
    BOOL AppendSeparator();
    // The text an item carries in its item data (tests, drawing).
    static const wchar_t* ItemText(ULONG_PTR itemData) { return reinterpret_cast<const wchar_t*>(itemData); }

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    void MeasureItem(LPMEASUREITEMSTRUCT measureItem) override;

private:
    struct Entry {
        UINT id;
        int image;
    };
    int ImageOf(UINT id) const;

    CFont m_font;
    CImageList m_images;
    std::vector<Entry> m_entries;
    std::vector<std::unique_ptr<wchar_t[]>> m_texts;
};

// The backup windows' own texts in the session's language, and a dialog face that has the
// glyphs they show (policy names and paths are often Korean whatever the language).
#pragma once
#include <windows.h>

class CFont;

namespace backuplook {

// The text in the calling thread's language: the English counterpart of a Korean text of the
// backup windows when the thread's texts are English, else the text itself.
const wchar_t* Text(const wchar_t* korean);

// Replaces the template texts of the dialog's children by their counterparts (see Text).
void TranslateChildren(HWND dialog);

// The configured dialog face of the product when it has Hangul glyphs, else the Korean face.
const wchar_t* FaceName(int product);

// Rebuilds the dialog's fonts (regular and bold title) on FaceName and hands the regular one
// to the dialog and its children.
void ApplyFace(HWND dialog, int product, CFont& regular, CFont& title);

}

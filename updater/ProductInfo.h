// The three products the updater serves, by product index: 0 explorer, 1 drive edition,
// 2 backup edition.
#pragma once

namespace product {
// False for an index outside 0..2.
bool Valid(int index);
// The product's main program, e.g. "CorvaneIXO.exe"; empty for an invalid index.
const wchar_t* Program(int index);
// The product's key under HKEY_CURRENT_USER; null for an invalid index.
const wchar_t* RegistryKey(int index);
// The update description's file name in the download folder, with its leading "\".
const wchar_t* DescriptionFile(int index);
// The image-description section prefixes of the product, ending with a null.
const wchar_t* const* ImageKeys(int index);
}

// The product table of the update program.
#include "ProductInfo.h"

namespace {
const wchar_t* const kImageKeys0[] = { L"IXOLOGINIMAGE", L"IXOBANNERIMAGE", L"IXOMAINICON", L"IXOTRAYONICON",
                                       L"IXOTRAYOFFICON", nullptr };
const wchar_t* const kImageKeys1[] = { L"DRIVEIXOLOGINIMAGE", L"DRIVEIXOMAINICON", L"DRIVEIXOTRAYONICON",
                                       L"DRIVEIXOTRAYOFFICON", nullptr };
const wchar_t* const kImageKeys2[] = { L"BACKUPIXOLOGINIMAGE", L"BACKUPIXOBANNERIMAGE", L"BACKUPIXOMAINICON",
                                       L"BACKUPIXOTRAYONICON", L"BACKUPIXOTRAYOFFICON", nullptr };
const wchar_t* const kNoKeys[] = { nullptr };
}

namespace product {

bool Valid(int index) { return index >= 0 && index <= 2; }

const wchar_t* Program(int index)
{
    static const wchar_t* const names[] = { L"CorvaneIXO.exe", L"CorvaneDriveIXO.exe", L"CorvaneBackup.exe" };
    return Valid(index) ? names[index] : L"";
}

const wchar_t* RegistryKey(int index)
{
    static const wchar_t* const keys[] = { L"Software\\Varivivod\\VariruDAD", L"Software\\Varivivod\\NardisDriveIXO",
                                           L"Software\\Varivivod\\VariruDADBackup" };
    return Valid(index) ? keys[index] : nullptr;
}

const wchar_t* DescriptionFile(int index)
{
    static const wchar_t* const files[] = { L"\\Update.ini", L"\\UpdateDrive.ini", L"\\UpdateBackup.ini" };
    return Valid(index) ? files[index] : L"";
}

const wchar_t* const* ImageKeys(int index)
{
    switch (index) {
    case 0: return kImageKeys0;
    case 1: return kImageKeys1;
    case 2: return kImageKeys2;
    default: return kNoKeys;
    }
}

}

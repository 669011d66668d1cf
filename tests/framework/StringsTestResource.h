// String ids of the StringsTest program and its resource-only library: one string table block
// (ids 992-1007) that both modules have, with different entries filled.
#pragma once
#define IDS_TEST_SHARED 1001       // in both
#define IDS_TEST_PROGRAM_ONLY 1002 // only in the program
#define IDS_TEST_KOREAN 1003
#define IDS_TEST_PATTERN 1004
#define IDS_TEST_MISSING 1005      // in neither

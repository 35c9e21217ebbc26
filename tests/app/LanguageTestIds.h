// Identifiers of the language tests' own built-in resources. They lie far above
// the application's identifiers, so the two resource sets linked into one test
// program never collide.
#pragma once

#define IDS_TEST_HELLO 60001
#define IDS_TEST_GOODBYE 60002
#define IDS_TEST_FORMAT 60003
#define IDS_TEST_MULTILINE 60004
// No string of the test program has this number.
#define IDS_TEST_ABSENT 60015

#define IDR_TEST_MENU 60020

#define IDD_TEST_DIALOG 60030
#define IDC_TEST_BUTTON 60031
#define IDC_TEST_EDIT 60032

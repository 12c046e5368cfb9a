// Identifiers of the program's resources and of the main form's controls.
// Shared by the resource descriptions (res/) and the form class (ui/), the way
// a Win32 project shares its resource.h between the .rc file and the code.
#pragma once

// Form template 102 and its list data.
#define IDD_MAIN 102

// Icon groups: the main icon (the form's) and the large set for desktops.
#define IDR_MAINFRAME 128
#define IDI_TALLYROLL 136

// Controls of the main form.
#define IDC_COM 1002
#define IDC_TEXT 1003
#define IDC_WIDTH 1005
#define IDC_HEIGHT 1006
#define IDC_UNDERLINE 1007
#define IDC_DIRECTION 1008
#define IDC_WHITE 1009
#define IDC_PRINT 1010
#define IDC_TEST 1011
#define IDC_FILE 1013
#define IDC_BROWSE 1014
#define IDC_PRINTER 1016

// A control that is never addressed by the code; its template id is 65535.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

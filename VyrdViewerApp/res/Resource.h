// Identifiers of the built-in resources: strings, menus, accelerators, dialogs
// and their controls. The language resource file uses the same numbers, so a
// number here never changes once shipped. Included by VyrdDocViewer.rc (plain
// #define lines only) and by the program's C++ sources.
#pragma once

// ---------------------------------------------------------------------------
// Menus and accelerator tables. The main frame's menu, its accelerator table
// and its title string share one number.
#define IDR_MAINFRAME 136
#define IDR_TAB_MENU 137
#define IDR_BOOKMARK_MENU 138
#define IDR_PAGE_MENU 150

// ---------------------------------------------------------------------------
// Images. They are not part of the built-in resources yet; loading them gives
// null and the callers go on without the picture.
#define IDCUR_DRAG_MOVE 104
#define IDCUR_DRAG_COPY 105
#define IDCUR_DRAG_NONE 106
#define IDB_COMMANDS 130
#define IDB_BOOKMARK_TOOLBAR 138
#define IDB_TREE_ITEMS 139
#define IDI_MAINFRAME 200

// ---------------------------------------------------------------------------
// Dialogs.
#define IDD_GOTO_PAGE 137
#define IDD_BOOKMARK 142
#define IDD_VIEW_SETTINGS 143
#define IDD_ABOUT 144
#define IDD_OPTIONS 150
#define IDD_OPTIONS_GENERAL 151
#define IDD_SEARCH_PANE 152

// ---------------------------------------------------------------------------
// Dialog controls.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Bookmark add and edit (IDD_BOOKMARK).
#define IDC_BOOKMARK_PAGE 1000
#define IDC_BOOKMARK_NAME 1002
#define IDC_BOOKMARK_PAGE_SPIN 1004
#define IDC_BOOKMARK_NO_PAGE 1005
#define IDC_BOOKMARK_GO_TO_PAGE 1006

// Go To Page (IDD_GOTO_PAGE).
#define IDC_GOTO_PAGE_NUMBER 1010
#define IDC_GOTO_PAGE_COUNT 1011

// Search pane (IDD_SEARCH_PANE).
#define IDC_SEARCH_TEXT 1020
#define IDC_SEARCH_MATCH_CASE 1021
#define IDC_SEARCH_WHOLE_WORD 1022
#define IDC_SEARCH_START 1023
#define IDC_SEARCH_PROGRESS 1024
#define IDC_SEARCH_RESULTS 1025

// View setting (IDD_VIEW_SETTINGS): a slider and an edit field per value.
#define IDC_BRIGHTNESS_SLIDER 1030
#define IDC_BRIGHTNESS_EDIT 1031
#define IDC_CONTRAST_SLIDER 1032
#define IDC_CONTRAST_EDIT 1033
#define IDC_GAMMA_SLIDER 1034
#define IDC_GAMMA_EDIT 1035
#define IDC_VIEW_RESET 1036

// About box (IDD_ABOUT). The web site and support lines are static controls
// with SS_NOTIFY; their text is what the shell opens.
#define IDC_ABOUT_NAME 1040
#define IDC_ABOUT_VERSION 1041
#define IDC_ABOUT_WEB_SITE 1042
#define IDC_ABOUT_SUPPORT 1043
#define IDC_ABOUT_FORMATS 1044

// Options (IDD_OPTIONS): the page tree, the hidden frame that marks where a
// page is placed, and Apply (OK and Cancel are IDOK and IDCANCEL).
#define IDC_OPTIONS_TREE 1050
#define IDC_OPTIONS_PAGE_AREA 1051
#define IDC_OPTIONS_APPLY 1052

// General page of the options (IDD_OPTIONS_GENERAL).
#define IDC_LANGUAGE 1060
#define IDC_ASSOC_TIFF 1061
#define IDC_ASSOC_PDF 1062
#define IDC_ASSOC_DJVU 1063
#define IDC_RECENT_COUNT 1064
#define IDC_RECENT_COUNT_SPIN 1065
#define IDC_TABS_ONE_DOC_SHOW 1066
#define IDC_TABS_BOTTOM 1067
#define IDC_TABS_DBLCLICK_CLOSE 1068

// ---------------------------------------------------------------------------
// Commands (WM_COMMAND identifiers). A command that has a tool bar button also
// has a string of the same number: the button's tooltip.

// File and tabs.
#define ID_APP_EXIT 32773
#define ID_APP_ABOUT 32774
#define ID_FILE_CLOSE_ALL_BUT_THIS 32790
#define ID_FILE_CLOSE_ALL 32791
#define ID_FILE_COPY_PATH 32830
#define ID_FILE_OPEN_FOLDER 32831
#define ID_FILE_DUPLICATE_TAB 32832
#define ID_FILE_OPEN 57601
#define ID_FILE_CLOSE 57602
#define ID_FILE_PRINT 57607  // has a tool bar image, no handler
#define ID_FILE_SAVE_COPY_AS 57611
#define ID_TOOLS_OPTIONS 33930

// Recent files: one command per list entry, 32900 + index. The first is also
// the placeholder item "Recent Files" in the File menu.
#define ID_FILE_MRU_FIRST 32900
#define ID_FILE_MRU_LAST 32909

// Tabs, by keys only.
#define ID_NEXT_TAB 32910
#define ID_PREVIOUS_TAB 32911

// Page layout.
#define ID_LAYOUT_PAGE 32775
#define ID_LAYOUT_FACING 32776
#define ID_LAYOUT_THIRD 32777  // handled, offered in no menu, key or button

// Navigation.
#define ID_GO_FIRST_PAGE 32780
#define ID_GO_PREVIOUS_PAGE 32781
#define ID_GO_NEXT_PAGE 32782
#define ID_GO_LAST_PAGE 32783
#define ID_GO_TO_PAGE 32784
#define ID_GO_PREVIOUS_VIEW 32785
#define ID_GO_NEXT_VIEW 32786

// View.
#define ID_VIEW_SETTINGS 32792
#define ID_VIEW_FULL_SCREEN 32927
#define ID_ESCAPE 32928
#define ID_VIEW_STANDARD_TOOLBAR 32925
#define ID_VIEW_PAGES_TOOLBAR 32926
#define ID_LEFTPANE_HIDE 32920
#define ID_LEFTPANE_CONTENT 32921
#define ID_LEFTPANE_BOOKMARKS 32922
#define ID_LEFTPANE_SEARCH 32923

// Rotation.
#define ID_ROTATE_PAGE_CW 32800
#define ID_ROTATE_PAGE_CCW 32801
#define ID_ROTATE_ALL_CW 32802
#define ID_ROTATE_ALL_CCW 32803
#define ID_ROTATE_RESET 32804

// Zoom. The fixed zoom levels run from 5% (32815) up to 500% (32821).
#define ID_ZOOM_FIT_WIDTH 32810
#define ID_ZOOM_FIT_PAGE 32811
#define ID_ZOOM_FIT_CURRENT_PAGE 32812
#define ID_ZOOM_IN 32813
#define ID_ZOOM_OUT 32814
#define ID_ZOOM_5 32815
#define ID_ZOOM_10 32816
#define ID_ZOOM_25 32817
#define ID_ZOOM_50 32818
#define ID_ZOOM_100 32819
#define ID_ZOOM_200 32820
#define ID_ZOOM_500 32821

// Tools.
#define ID_TOOL_HAND 32850
#define ID_TOOL_SELECT_TEXT 32851
#define ID_TOOL_SELECT_IMAGE 32852
#define ID_TOOL_ZOOM_SELECTION 32853
#define ID_EDIT_COPY 57634

// Bookmark pane. Each command but ID_BOOKMARK_GOTO has a tooltip string of the
// same number; 33001 and 33003 are also the bookmark dialog's captions.
#define ID_BOOKMARK_GOTO 33000
#define ID_BOOKMARK_ADD 33001
#define ID_BOOKMARK_DELETE 33002
#define ID_BOOKMARK_EDIT 33003
#define ID_BOOKMARK_UP 33004
#define ID_BOOKMARK_DOWN 33005
#define ID_BOOKMARK_CUT 33006
#define ID_BOOKMARK_COPY 33007
#define ID_BOOKMARK_PASTE 33008
#define ID_BOOKMARK_EXPORT 33009
#define ID_BOOKMARK_IMPORT 33010

// ---------------------------------------------------------------------------
// Strings (besides the command tooltips above).
#define IDS_APP_TITLE 136
#define IDS_PANE_CONTENT 139
#define IDS_PANE_BOOKMARKS 140
#define IDS_RECENT_FILE_MISSING 142
#define IDS_XML_FILE_FILTER 143
#define IDS_PAGE_NOT_FOUND 144
#define IDS_PAGE_NOT_IN_RANGE 145
#define IDS_OPEN_FILE_FILTER 146
#define IDS_PAGE_OF_COUNT 147
#define IDS_OF_PAGE_COUNT 148
#define IDS_ZOOM_RANGE 149
#define IDS_ZOOM_OUT_OF_RANGE 150
#define IDS_INSTALLED_FORMATS 151
#define IDS_CANNOT_CREATE_READER 152
#define IDS_READER_ERROR 153
#define IDS_CANNOT_OPEN_FILE 154
#define IDS_RECENT_FILES 155
#define IDS_ERROR_PARAMETER 156
#define IDS_INTEGER_RANGE 157
#define IDS_PANE_SEARCH 158
#define IDS_DJVU_FILE_FILTER 159
#define IDS_PDF_FILE_FILTER 160
#define IDS_TIFF_FILE_FILTER 161
#define IDS_OPTIONS_GENERAL 162
#define IDS_TAB_SCROLL_LEFT 163
#define IDS_TAB_SCROLL_RIGHT 164
#define IDS_TAB_CLOSE 165
#define IDS_BOOKMARK_DEFAULT_NAME 33020
#define IDS_SEARCH_PAGE_COLUMN 33100
#define IDS_SEARCH_TEXT_COLUMN 33101
#define IDS_SEARCH_START 33110
#define IDS_SEARCH_STOP 33111
#define IDS_DELETE_BOOKMARK_QUESTION 45000
#define IDS_DELETE_BOOKMARK 45001
#define IDS_LANGUAGE_RESTART 45020

#ifndef RC_INVOKED
// The recent-file commands are a dynamic range: the menu holds at most ten
// entries, and no other command may fall inside the range.
static_assert(ID_FILE_MRU_LAST - ID_FILE_MRU_FIRST + 1 == 10);
static_assert(ID_ROTATE_RESET < ID_FILE_MRU_FIRST && ID_TOOL_ZOOM_SELECTION < ID_FILE_MRU_FIRST);
static_assert(ID_NEXT_TAB > ID_FILE_MRU_LAST && ID_LEFTPANE_HIDE > ID_FILE_MRU_LAST);
#endif

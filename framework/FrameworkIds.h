// The framework's own ids: its standard commands, status-bar indicators, control bars and
// messages, with the spellings of the desktop API it mirrors. The application's resources use
// these numbers for the framework's commands and strings.
#pragma once

// ---- The framework's standard commands ----

constexpr int ID_SEPARATOR = 0;  // a gap in a toolbar; the message area of a status bar
constexpr int ID_FILE_NEW = 57600;
constexpr int ID_FILE_OPEN = 57601;
constexpr int ID_FILE_CLOSE = 57602;
constexpr int ID_FILE_SAVE = 57603;
constexpr int ID_FILE_SAVE_AS = 57604;
constexpr int ID_FILE_PAGE_SETUP = 57605;
constexpr int ID_FILE_PRINT_SETUP = 57606;
constexpr int ID_FILE_PRINT = 57607;
constexpr int ID_FILE_PRINT_DIRECT = 57608;  // printing without the print dialog; no menu item
constexpr int ID_FILE_PRINT_PREVIEW = 57609;
constexpr int ID_FILE_MRU_FILE1 = 57616;  // the recent files, first to fourth
constexpr int ID_FILE_MRU_FILE4 = 57619;
constexpr int ID_WINDOW_CASCADE = 57650;
constexpr int ID_WINDOW_TILE_HORZ = 57651;
constexpr int ID_WINDOW_TILE_VERT = 57652;
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_APP_EXIT = 57665;
constexpr int ID_HELP_INDEX = 57666;
constexpr int ID_HELP_FINDER = 57667;
constexpr int ID_CONTEXT_HELP = 57669;
constexpr int ID_HELP = 57670;
constexpr int ID_DEFAULT_HELP = 57671;

// ---- Status-bar indicators and control bars; each indicator's text is its string ----

constexpr int ID_INDICATOR_CAPS = 59137;
constexpr int ID_INDICATOR_NUM = 59138;
constexpr int ID_INDICATOR_SCRL = 59139;
constexpr int AFX_IDW_TOOLBAR = 59392;
constexpr int AFX_IDW_STATUS_BAR = 59393;

// ---- The framework's messages; the string table gives them in the user's language ----

constexpr int AFX_IDP_ASK_TO_SAVE = 611;        // %1 the document's title
constexpr int AFX_IDP_PARSE_INT = 612;          // a signed number did not parse
constexpr int AFX_IDP_PARSE_UINT = 613;         // an unsigned number did not parse
constexpr int AFX_IDP_PARSE_STRING_SIZE = 614;  // %1 the most characters a field takes

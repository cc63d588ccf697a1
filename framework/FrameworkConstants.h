// The framework's own numbers that are not resource ids: window style bits, tiling options, and
// message-box kinds and answers. Command, string and control-bar ids live in FrameworkIds.h.
#pragma once

#include "framework/GdiTypes.h"

// Window style bits.
constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD FWS_ADDTOTITLE = 0x00008000;  // the caption shows the document's title

// Tiling of the document windows.
constexpr int MDITILE_VERTICAL = 0;    // side by side in columns
constexpr int MDITILE_HORIZONTAL = 1;  // one above the other in rows

// Message boxes: kinds, icons and answers.
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_YESNOCANCEL = 0x3;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_ICONSTOP = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

#pragma once
// The plain types and message numbers of the desktop windowing model that the program is
// written against. Window handles are 32-bit numbers; message parameters are pointer-sized.

#include <cstdint>

using HWND = uint32_t;    // a window handle: never 0 for a live window, never reused
using UINT = uint32_t;    // message ids, command ids, flags
using DWORD = uint32_t;   // 32-bit settings values
using BOOL = int;         // nonzero for success / true
using ATOM = uint16_t;    // a global atom; 0 means none
using WPARAM = uintptr_t; // first message parameter
using LPARAM = intptr_t;  // second message parameter
using LRESULT = intptr_t; // a window procedure's answer

// Message numbers of the windowing system that the program uses.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_COMMAND = 0x0111; // a menu command: (WM_COMMAND, command id, 0)
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_USER = 0x0400; // private messages are plain numbers from here on
constexpr UINT WM_APP = 0x8000;

// Registered messages and global atoms live in this range.
constexpr UINT MAXINTATOM = 0xC000;

// The Windows values the dialog code speaks in: messages, keys, notification codes,
// results and styles. Plain constants, so a Win32 backend can include <windows.h> after
// this header in its own .cpp files (the macros then shadow these names there).
#pragma once

#include <cstdint>

// Window messages that reach a dialog.
constexpr unsigned WM_PAINT = 0x000F;
constexpr unsigned WM_CLOSE = 0x0010;
constexpr unsigned WM_QUERYDRAGICON = 0x0037;
constexpr unsigned WM_KEYDOWN = 0x0100;
constexpr unsigned WM_TIMER = 0x0113;

// Virtual keys.
constexpr unsigned VK_RETURN = 0x0D;
constexpr unsigned VK_ESCAPE = 0x1B;
constexpr unsigned VK_F1 = 0x70;

// Command notifications (handlers take no arguments).
constexpr unsigned BN_CLICKED = 0;
constexpr unsigned CBN_SELCHANGE = 1;
constexpr unsigned CBN_DROPDOWN = 7;
constexpr unsigned EN_CHANGE = 0x0300;

// Notify notifications (handlers take an NMHDR and a result). Their codes are negative
// when read as signed, which is how the framework tells the two families apart.
constexpr unsigned NM_DBLCLK = 0u - 3u;
constexpr unsigned IPN_FIELDCHANGED = 0u - 860u;

// Dialog results and command ids.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int ID_HELP = 0xE146;  // 57670

// Message boxes: only the OK button is offered.
constexpr unsigned MB_OK = 0x0;

// Combo boxes.
constexpr int CB_ERR = -1;

// Check boxes.
constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;

// ShowWindow.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;

// SetWindowPos flags; z-order and activation are not modelled, so those two only
// document the caller's intent.
constexpr unsigned SWP_NOSIZE = 0x0001;
constexpr unsigned SWP_NOMOVE = 0x0002;
constexpr unsigned SWP_NOZORDER = 0x0004;
constexpr unsigned SWP_NOACTIVATE = 0x0010;

// SetIcon.
constexpr int ICON_SMALL = 0;
constexpr int ICON_BIG = 1;

// List view columns and extended styles.
constexpr int LVCFMT_LEFT = 0x0000;
constexpr int LVCFMT_RIGHT = 0x0001;
constexpr int LVCFMT_CENTER = 0x0002;
constexpr uint32_t LVS_EX_GRIDLINES = 0x00000001;
constexpr uint32_t LVS_EX_FULLROWSELECT = 0x00000020;

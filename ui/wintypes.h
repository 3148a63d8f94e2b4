// The Windows-shaped types the dialog code uses: BOOL, UINT_PTR, RECT, MSG, NMHDR, ...
// They live in the global namespace like the classes built on them. Backends never need
// this header (backend.h speaks in plain types), so a Win32 backend's own files can
// include <windows.h> instead.
#pragma once

#include <cstdint>

#include "ui/handle.h"
#include "ui/winconst.h"

using BOOL = int;
#ifndef TRUE  // a toolkit header may have defined them already, with the same values
constexpr BOOL TRUE = 1;
#endif
#ifndef FALSE
constexpr BOOL FALSE = 0;
#endif

using BYTE = uint8_t;
using UINT = unsigned int;
using DWORD = uint32_t;
using UINT_PTR = uintptr_t;
using INT_PTR = intptr_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using HWND = ui::Handle;

// An icon is an opaque value that names the application's icon resource; the backend
// knows what picture belongs to it. Null means no icon.
struct HICON__;
using HICON = HICON__*;
using HCURSOR = HICON;

struct RECT {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
using LPRECT = RECT*;

struct SIZE {
    int cx = 0;
    int cy = 0;
};

struct CRect : RECT {
    CRect() = default;
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

struct CSize : SIZE {
    CSize() = default;
    CSize(int x, int y) : SIZE{x, y} {}
};

// What PreTranslateMessage sees: key messages before the dialog's own Enter and Escape
// handling.
struct MSG {
    HWND hwnd = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
};

// Header of every notify notification.
struct NMHDR {
    HWND hwndFrom = 0;
    UINT_PTR idFrom = 0;
    UINT code = 0;
};

// IPN_FIELDCHANGED: the field (0 to 3) and its new value (-1 when blank).
struct NMIPADDRESS {
    NMHDR hdr;
    int iField = 0;
    int iValue = 0;
};

// NM_DBLCLK of a list view: the row under the pointer (-1 on blank space).
struct NMITEMACTIVATE {
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
};

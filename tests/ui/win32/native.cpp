#include "tests/ui/win32/native.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

namespace uitest {

int NativeTextWidth(ui::win32::Hwnd window, const std::string& text) {
    std::wstring s = ui::win32::Readable(text);
    HDC dc = GetDC(window);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size.cx;
}

int NativeClientWidth(ui::win32::Hwnd window) {
    RECT r{};
    GetClientRect(window, &r);
    return r.right - r.left;
}

std::wstring NativeText(ui::win32::Hwnd window) {
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return text;
}

std::wstring NativeCell(ui::win32::Hwnd list, int row, int col) {
    wchar_t text[512] = L"";
    LVITEMW item{};
    item.iSubItem = col;
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

std::wstring NativeEntry(ui::win32::Hwnd combo, int index) {
    wchar_t text[512] = L"";
    if (SendMessageW(combo, CB_GETLBTEXTLEN, index, 0) < 512)
        SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

}  // namespace uitest

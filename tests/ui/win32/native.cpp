#include "tests/ui/win32/native.h"

#include <windows.h>

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

}  // namespace uitest

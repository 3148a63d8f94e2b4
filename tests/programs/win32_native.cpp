#include "tests/programs/win32_native.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

namespace native {

std::string Title(ui::win32::Hwnd window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

int IconWidth(ui::win32::Hwnd window, bool big) {
    auto icon =
        reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, big ? ICON_BIG : ICON_SMALL, 0));
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

int SystemIconWidth(bool big) { return GetSystemMetrics(big ? SM_CXICON : SM_CXSMICON); }

unsigned CodePage() { return GetACP(); }

std::string CommonControlsPath() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(GetModuleHandleA("comctl32.dll"), path, sizeof path);
    std::string lower(path);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

}  // namespace native

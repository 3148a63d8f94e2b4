// netcfg-demo.exe's resources as Windows takes them, linked into this test program: the
// icon (a PNG in an icon resource) loads at both window icon sizes, and the manifest
// brings the UTF-8 code page and the common controls 6. Under Wine.
#include <windows.h>

#include <commctrl.h>
#include <gmock/gmock.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "app/resource.h"

namespace {

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

TEST(Win32Resources, IconLoadsAtBothWindowIconSizes) {
    for (int metric : {SM_CXICON, SM_CXSMICON}) {
        int size = GetSystemMetrics(metric);
        auto icon = static_cast<HICON>(LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        EXPECT_EQ(IconWidth(icon), size);  // the one 32-pixel image, scaled when smaller
        DestroyIcon(icon);
    }
}

TEST(Win32Resources, ManifestBringsUtf8AndCommonControls6) {
    EXPECT_EQ(GetACP(), 65001u);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_INTERNET_CLASSES | ICC_LISTVIEW_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&controls));
    char path[MAX_PATH] = "";
    GetModuleFileNameA(GetModuleHandleA("comctl32.dll"), path, sizeof path);
    std::string lower(path);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    EXPECT_THAT(lower, testing::HasSubstr("microsoft.windows.common-controls_6595b64144ccf1df_6."));
}

}  // namespace

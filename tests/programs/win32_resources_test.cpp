// netcfg-demo.exe's resources as Windows takes them, linked into this test program: the
// manifest brings the UTF-8 code page and the common controls 6 (the icon is the GUI
// test's). Under Wine.
#include <windows.h>

#include <commctrl.h>
#include <gmock/gmock.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace {

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

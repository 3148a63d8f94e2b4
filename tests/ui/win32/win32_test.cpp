// The Win32 backend: the shared suite on it, and the wait window's width in real pixels.
#include "app/templates.h"
#include "app/wait_dlg.h"
#include "tests/ui/win32/native.h"
#include "tests/ui/win32/win32_harness.h"

namespace uitest {
namespace {

std::unique_ptr<Harness> MakeWin32() { return std::make_unique<Win32Harness>(); }

INSTANTIATE_TEST_SUITE_P(Backend, UiSemantics, testing::Values(&MakeWin32),
                         [](const auto&) { return std::string("Win32"); });

// The wait window fits its message and a four-digit count: its client area is the pixel
// width of " 0000", plus the message's, plus 30, in the window's own font.
TEST(Win32WaitWindow, ClientWidthFitsTheMessageAndTheCount) {
    CWinApp app{"wait"};
    Win32Harness harness;
    RegisterNetCfgTemplates();
    for (const char* message : {"Setting...", "Writing the new Ethernet settings, please wait"}) {
        CWaitDlg dlg;
        dlg.SetRequest({nullptr, nullptr, message, 60000, 100});
        harness.User()
            .OnDialog(IDD_WAIT)
            .Call([&] {
                ui::win32::Hwnd w = harness.Backend().Window(dlg.m_hWnd);
                EXPECT_EQ(NativeClientWidth(w),
                          NativeTextWidth(w, " 0000") + NativeTextWidth(w, message) + 30);
                EXPECT_GT(NativeTextWidth(w, message), NativeTextWidth(w, "Setting"));
            })
            .Escape();
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        harness.User() = {};
    }
    EXPECT_THAT(harness.TakeErrors(), testing::IsEmpty());
}

}  // namespace
}  // namespace uitest

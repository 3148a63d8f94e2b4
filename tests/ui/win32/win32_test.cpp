// The Win32 backend: the shared suite on it, and how its controls show bytes.
#include "tests/ui/win32/win32_harness.h"
#include "tests/ui/win32/win32_screen.h"

namespace uitest {
namespace {

using Texts = std::vector<std::string>;

std::unique_ptr<Harness> MakeWin32() { return std::make_unique<Win32Harness>(); }

const auto kName = [](const auto&) { return std::string("Win32"); };
INSTANTIATE_TEST_SUITE_P(Backend, UiSemantics, testing::Values(&MakeWin32), kName);

// What only the Win32 backend shows, in the suite's probe dialog.
using Win32Ui = UiSemantics;
INSTANTIATE_TEST_SUITE_P(Backend, Win32Ui, testing::Values(&MakeWin32), kName);

// Network names are bytes, often not UTF-8: each control shows them readable and gives
// back the very bytes, which is what the program sends to the device when it joins.
TEST_P(Win32Ui, TextsShowReadableAndReadBackTheirBytes) {
    std::tuple<const char*, const char*, const char*> cases[] = {
        // bytes, what a label shows, what one-line controls show (as UTF-8)
        {"caf\xC3\xA9", "caf\xC3\xA9", "caf\xC3\xA9"},
        {"caf\xE9", "caf\xC3\xA9", "caf\xC3\xA9"},  // not UTF-8: Windows-1252
        {"\x80\x9F\x81", "\xE2\x82\xAC\xC5\xB8\xC2\x81",
         "\xE2\x82\xAC\xC5\xB8\xC2\x81"},                      // 0x81: unset
        {"\xC0\xAF", "\xC3\x80\xC2\xAF", "\xC3\x80\xC2\xAF"},  // an overlong form is no UTF-8
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC",
         "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},  // nor a surrogate
        {"\xF0\x9F\x93\xB6 ok", "\xF0\x9F\x93\xB6 ok", "\xF0\x9F\x93\xB6 ok"},
        {"USB001 abc\r\n", "USB001 abc\r\n", "USB001 abc"},
        {"a\tb", "a\tb", "a b"},
    };
    std::unique_ptr<Screen> screen = MakeWin32Screen(SharedWin32Backend());
    RunInProbe([&](CProbeDlg& d) {
        d.m_list.InsertColumn(0, "SSID", LVCFMT_LEFT, 100);
        for (auto [bytes, label, line] : cases) {
            CWnd* text = d.GetDlgItem(kLabel);
            text->SetWindowText(bytes);
            d.m_edit.SetWindowText(bytes);
            int row = d.m_list.InsertItem(d.m_list.GetItemCount(), bytes);
            int entry = d.m_combo.AddString(bytes);
            // Shown by the label, the edit, the list and the drop-down list.
            EXPECT_EQ((Texts{screen->Text(text->m_hWnd), screen->Text(d.m_edit.m_hWnd),
                             screen->Cell(d.m_list.m_hWnd, row, 0),
                             screen->Entries(d.m_combo.m_hWnd).at(entry)}),
                      (Texts{label, line, line, line}))
                << bytes;
            char cell[64];  // as the network list reads the name it sends to the device
            d.m_list.GetItemText(row, 0, cell, sizeof cell);
            EXPECT_EQ((Texts{text->GetWindowText(), d.m_edit.GetWindowText(), cell,
                             d.m_combo.GetLBText(entry)}),
                      Texts(4, bytes))
                << bytes;
        }
    });
}

// What the user types comes back as UTF-8, whatever the edit held before.
TEST_P(Win32Ui, TypedTextReadsAsUtf8) {
    CProbeDlg dlg;
    dlg.m_onInit = [](CProbeDlg& d) { d.GetDlgItem(kPassword)->SetWindowText("\xE9"); };
    User().OnDialog(kProbe).Type(kPassword, "\xE2\x82\xAC!").Enter();
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_secret, "\xC3\xA9\xE2\x82\xAC!");
}

}  // namespace
}  // namespace uitest

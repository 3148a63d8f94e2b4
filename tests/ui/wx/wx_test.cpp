// The wx backend: the shared suite on it, and what only a desktop backend shows (the
// toolkit's dialog units, readable text over kept bytes, real keystrokes), and the time
// limit of its scripted driver.
#include <gmock/gmock.h>
#include <wx/dialog.h>
#include <wx/listctrl.h>
#include <wx/settings.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>
#include <algorithm>

#include "base/clock.h"
#include "tests/ui/wx/wx_harness.h"
#include "ui/wx/ip_ctrl.h"

namespace uitest {
namespace {

using testing::ElementsAre;

std::unique_ptr<Harness> MakeWx() { return std::make_unique<WxHarness>(); }

// The suite's fixture, for what only this backend shows.
class WxTest : public UiSemantics {
protected:
    ui::wx::WxBackend& B() { return static_cast<WxHarness&>(*m_harness).Backend(); }
    template <class T>
    T* Native(HWND h) {
        return dynamic_cast<T*>(B().Window(h));
    }
};

const auto kName = [](const auto&) { return std::string("Wx"); };
INSTANTIATE_TEST_SUITE_P(Backend, UiSemantics, testing::Values(&MakeWx), kName);
INSTANTIATE_TEST_SUITE_P(Backend, WxTest, testing::Values(&MakeWx), kName);

TEST_P(WxTest, TextsShowReadableAndReadBackTheirBytes) {
    auto shown = [](const wxString& s) { return std::string(s.utf8_str()); };
    // The bytes set, what a label shows and what single-line controls show, as UTF-8.
    std::tuple<const char*, const char*, const char*> cases[] = {
        {"caf\xC3\xA9", "caf\xC3\xA9", "caf\xC3\xA9"},
        {"R&D \xFF", "R&D \xC3\xBF", "R&D \xC3\xBF"},  // not UTF-8: read as Latin-1
        {"USB001 PID:1234 abc\n", "USB001 PID:1234 abc\n", "USB001 PID:1234 abc"},
        {"a\tb", "a\tb", "a b"},
    };
    RunInProbe([&](CProbeDlg& d) {
        d.m_list.InsertColumn(0, "SSID", LVCFMT_LEFT, 100);
        for (auto [bytes, label, line] : cases) {
            CWnd* text = d.GetDlgItem(kLabel);
            text->SetWindowText(bytes);
            d.m_edit.SetWindowText(bytes);
            int row = d.m_list.InsertItem(d.m_list.GetItemCount(), bytes);

            EXPECT_EQ(shown(Native<wxStaticText>(text->m_hWnd)->GetLabelText()), label);
            EXPECT_EQ(shown(Native<wxTextCtrl>(d.m_edit.m_hWnd)->GetValue()), line);
            EXPECT_EQ(shown(Native<wxListCtrl>(d.m_list.m_hWnd)->GetItemText(row, 0)), line);
            EXPECT_EQ(text->GetWindowText(), bytes);
            EXPECT_EQ(d.m_edit.GetWindowText(), bytes);
            EXPECT_EQ(d.m_list.GetItemText(row, 0), bytes);
        }
    });
}

// Nothing else checks where a desktop backend puts things: every real dialog would be
// misdrawn, and the tests still pass.
TEST_P(WxTest, DialogUnitsAreTheToolkitsForTheDesktopFont) {
    RunInProbe([&](CProbeDlg& d) {
        wxWindow* w = B().Window(d.m_hWnd);
        EXPECT_EQ(w->GetFont(), wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
        EXPECT_EQ(w->GetClientSize(), w->ConvertDialogToPixels(wxSize(200, 100)));
        wxWindow* button = B().Window(d.GetDlgItem(kButton)->m_hWnd);
        EXPECT_EQ(button->GetRect(), wxRect(w->ConvertDialogToPixels(wxPoint(5, 5)),
                                            w->ConvertDialogToPixels(wxSize(40, 12))));
        // A label is as wide as its template, or as its text where that is wider.
        CWnd* label = d.GetDlgItem(kLabel);
        for (const char* text : {"x", "a label much wider than its template"}) {
            label->SetWindowText(text);
            CRect r;
            label->GetWindowRect(&r);
            EXPECT_EQ(r.Width(),
                      std::max(w->ConvertDialogToPixels(wxSize(60, 8)).x, d.GetTextExtent(text).cx))
                << text;
        }
    });
}

// Real keystrokes through the X server: the IP control's own rules, and which keys end
// the dialog. They reach whichever field or button has the focus.
TEST_P(WxTest, KeystrokesReachTheFocusedControl) {
    std::pair<const char*, const char*> cases[] = {
        // keys, text
        {"192.168.1.57", "192.168.1.57"},
        {"1234", "123.4.0.0"},  // on to the next field after three digits
        {"10..5", "10.5.0.0"},  // a dot on an empty field stays there
        {"9a-8", "98.0.0.0"},   // digits only
        {"300", "255.0.0.0"},
    };
    CProbeDlg dlg;
    wxUIActionSimulator keyboard;
    // With no window manager the keyboard follows the pointer: it goes onto the dialog.
    ui::DialogScript& script =
        User()
            .OnDialog(kProbe)
            .Call([&] {
                keyboard.MouseMove(B().Window(dlg.m_hWnd)->GetScreenRect().GetPosition() +
                                   wxPoint(20, 20));
            })
            .Wait(300);
    for (auto [keys, text] : cases) {
        script
            .Call([&, keys] {
                dlg.m_ip.SetWindowText("");
                Native<ui::wx::IpAddressCtrl>(dlg.m_ip.m_hWnd)->Field(0)->SetFocus();
                keyboard.Text(keys);
            })
            .Wait(400)
            .Call([&, keys, text] { EXPECT_EQ(dlg.m_ip.GetWindowText(), text) << keys; });
    }
    script
        .Call([&] {
            dlg.m_log.clear();
            B().Window(dlg.GetDlgItem(kButton)->m_hWnd)->SetFocus();
            keyboard.Char(WXK_RETURN);  // the focused button takes Enter
        })
        .Wait(400)
        .Call([&] {
            B().Window(dlg.m_edit.m_hWnd)->SetFocus();
            keyboard.Char(WXK_ESCAPE);
        })
        .Wait(2000);  // the Escape ends the dialog long before this
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_THAT(dlg.m_log, ElementsAre("button", "key 27", "OnCancel"));
}

// The toolkit measures a message box without its caption, which shares the title bar with
// the window's buttons: a short message under a long caption still shows the whole caption
// and at least two buttons beside it (each about as wide as the bar is high).
TEST_P(WxTest, MessageBoxIsAsWideAsItsCaption) {
    int caption = 0, high = 0, width = 0;
    User().OnMessageBox("Done.", 300);
    RunInProbe([&](CProbeDlg& d) {
        d.m_onTimer = [&](CProbeDlg& self, UINT_PTR) {  // ticks inside the box's loop
            self.KillTimer(1);
            wxDialog& box = *B().ModalStack().back().window;
            wxFont title = box.GetFont().Bold();
            box.GetTextExtent(box.GetTitle(), &caption, &high, nullptr, nullptr, &title);
            width = box.GetClientSize().x;
        };
        d.SetTimer(1, 100);
        d.MessageBox("Done.", "A caption much longer than the message it comes with");
    });
    EXPECT_GT(caption, 200);
    EXPECT_GE(width, caption + 2 * 2 * high);
}

TEST_P(WxTest, DriverEndsARunThatOutlastsItsTimeLimit) {
    static_cast<WxHarness&>(*m_harness).Driver().SetTimeLimit(300);
    CProbeDlg dlg;
    dlg.m_onButton = [](CProbeDlg& d) { d.MessageBox("never answered"); };
    User().OnDialog(kProbe).Click(kButton);
    User().OnMessageBox("never answered", 60000);
    uint32_t start = base::GetTickCount();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_LT(base::GetTickCount() - start, 5000u);
    EXPECT_THAT(m_harness->TakeErrors(),
                ElementsAre("time limit: dialog 900 still open after 300 ms"));
    EXPECT_THAT(dlg.m_log, ElementsAre("button"));  // ended by the driver, not by OnCancel
}

}  // namespace
}  // namespace uitest

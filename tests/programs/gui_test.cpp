// The demo program as a user meets it: its application on the wx backend against the two
// simulated devices, driven through the toolkit's controls by a scripted user on the real
// clock, under Xvfb. What is checked is what the windows show, where they stand, what
// the keyboard reaches and what the accessibility objects say. Pictures of the main
// window, the wait dialog, the network list and a message box are saved in the build tree
// (NETCFG_GUI_SCREENSHOTS).
#include <gmock/gmock.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/imagpng.h>
#include <wx/listctrl.h>
#include <wx/odcombo.h>
#include <wx/settings.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <gtk/gtk.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "app/netcfg_app.h"
#include "app/netcfg_dlg.h"
#include "app/resource.h"
#include "programs/demo_devices.h"
#include "programs/linux/icon.h"
#include "protocol/commands.h"
#include "protocol/packet.h"
#include "tests/programs/demo_script.h"
#include "tests/ui/wx/wx_harness.h"
#include "ui/wx/ip_ctrl.h"
#include "usb/sim/sim_link.h"

namespace {

using testing::ElementsAre;
using testing::IsEmpty;

// What a window shows, as UTF-8.
std::string Shown(const wxString& s) { return std::string(s.utf8_str()); }

std::string Screenshot(const char* name) {
    return std::string(NETCFG_GUI_SCREENSHOTS) + "/" + name + ".png";
}

// A window's own pixels: under Xvfb without a window manager the screen does not show
// every window that is up.
wxImage OwnPixels(wxWindow& window) {
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    GdkWindow* g = gtk_widget_get_window(window.GetHandle());
    wxSize size = window.GetSize();
    GdkPixbuf* p = g ? gdk_pixbuf_get_from_window(g, 0, 0, size.x, size.y) : nullptr;
    if (!p) return wxImage();
    wxImage image(size.x, size.y);
    for (int y = 0; y < size.y; ++y) {
        const guchar* row = gdk_pixbuf_get_pixels(p) + y * gdk_pixbuf_get_rowstride(p);
        for (int x = 0; x < size.x; ++x) {
            const guchar* px = row + x * gdk_pixbuf_get_n_channels(p);
            image.SetRGB(x, y, px[0], px[1], px[2]);
        }
    }
    g_object_unref(p);
    return image;
}

// The columns of pixels darker than both neighbours on most lines of the band [top,
// bottom): the vertical rules and edges drawn there.
std::vector<int> VerticalLines(const wxImage& image, int top, int bottom) {
    std::vector<int> lines;
    for (int x = 1; x < image.GetWidth() - 1; ++x) {
        int dark = 0;
        for (int y = top; y < bottom; ++y) {
            int here = image.GetRed(x, y);
            dark += here < image.GetRed(x + 1, y) - 20 || here < image.GetRed(x - 1, y) - 20;
        }
        if (dark * 4 >= (bottom - top) * 3) lines.push_back(x);
    }
    return lines;
}

int CountColour(const wxImage& image, const wxColour& colour) {
    int n = 0;
    const unsigned char* rgb = image.GetData();
    for (int i = 0; i < image.GetWidth() * image.GetHeight(); ++i, rgb += 3) {
        n += wxColour(rgb[0], rgb[1], rgb[2]) == colour;
    }
    return n;
}
// The accessible name and value, "name=value", of a control's widget.
std::string Accessible(wxWindow* w) {
    AtkObject* atk = gtk_widget_get_accessible(w->GetHandle());
    const char* name = atk_object_get_name(atk);
    const char* value = atk_object_get_description(atk);
    return std::string(name ? name : "") + "=" + (value ? value : "");
}

// Calls `check` once, from inside the loop of the first message box that shows.
class BoxWatch : public wxTimer {
public:
    BoxWatch(ui::wx::WxBackend& backend, std::function<void(wxDialog&)> check)
        : m_backend(backend), m_check(std::move(check)) {
        Start(20);
    }
    void Notify() override {
        const auto& frames = m_backend.ModalStack();
        if (frames.empty() || frames.back().dialog || !frames.back().window->IsShown()) return;
        if (++m_seen < 15) return;  // shown, then drawn
        Stop();
        m_check(*frames.back().window);
    }

private:
    ui::wx::WxBackend& m_backend;
    std::function<void(wxDialog&)> m_check;
    int m_seen = 0;
};

// The demo's devices on a link that notes, as each request goes out, whether every shown
// window has the busy cursor, and calls onScan as the SSID scan's request goes out.
class WatchedLink : public SimUsbLink {
public:
    UsbIo Write(UsbHandle h, const void* buffer, uint32_t* length, uint32_t ms) override {
        bool watch = wxIsBusy();
        for (wxWindow* w : wxTopLevelWindows) {
            GdkWindow* g = w->IsShown() ? gtk_widget_get_window(w->GetHandle()) : nullptr;
            GdkCursor* c = g ? gdk_window_get_cursor(g) : nullptr;
            watch = watch && (!g || (c && gdk_cursor_get_cursor_type(c) == GDK_WATCH));
        }
        busy.push_back(watch);
        if (g_cmdLastId == CMD_SCAN_WIFI && onScan) onScan();
        return SimUsbLink::Write(h, buffer, length, ms);
    }
    std::vector<bool> busy;
    std::function<void()> onScan;
};

class GuiTest : public testing::Test {
protected:
    void SetUp() override {
        RegisterNetCfgIcon();
        demo::Quicken(m_devices);
        m_link.Attach(m_devices.first, "0001", 1);
        m_link.Attach(m_devices.second, "0002", 2);
        UsbSetLink(&m_link);
    }
    void TearDown() override {
        UsbSetLink(nullptr);
        EXPECT_THAT(m_harness.TakeErrors(), IsEmpty());
        EXPECT_THAT(User().Unused(), IsEmpty());
    }

    ui::ScriptedUser& User() { return m_harness.User(); }
    ui::wx::WxBackend& B() { return m_harness.Backend(); }
    HWND Main() { return m_app.m_pMainWnd ? m_app.m_pMainWnd->m_hWnd : 0; }
    template <class T>
    T* Native(int id, HWND dialog = 0) {
        return dynamic_cast<T*>(B().Window(B().GetControl(dialog ? dialog : Main(), id)));
    }
    void SaveScreenshot(wxWindow& window, const char* name) {
        std::string path = Screenshot(name);
        EXPECT_TRUE(OwnPixels(window).SaveFile(path, wxBITMAP_TYPE_PNG)) << path;
    }
    // The main dialog's control that has the focus, by id; 0 for none.
    int FocusedId() {
        for (wxWindow* w = wxWindow::FindFocus(); w; w = w->GetParent()) {
            if (w == B().Window(Main())) return 0;
            for (int id = IDC_DEVICE_LABEL; id <= IDC_SSID; ++id) {
                if (B().Window(B().GetControl(Main(), id)) == w) return id;
            }
        }
        return 0;
    }

    uitest::WxHarness m_harness;
    CNetCfgApp m_app;
    DemoDevices m_devices;
    WatchedLink m_link;
};

// The screen as the toolkit's widgets show it.
class WxScreen : public uitest::Screen {
public:
    explicit WxScreen(ui::wx::WxBackend& backend) : m_b(backend) {}
    std::string Text(HWND control) override {
        wxWindow* w = m_b.Window(control);
        if (auto* ip = dynamic_cast<ui::wx::IpAddressCtrl*>(w)) {
            std::string text;
            for (int i = 0; i < 4; ++i) text += (i ? "." : "") + Shown(ip->Field(i)->GetValue());
            return text;
        }
        if (auto* combo = dynamic_cast<wxOwnerDrawnComboBox*>(w)) return Shown(combo->GetValue());
        if (auto* edit = dynamic_cast<wxTextCtrl*>(w)) return Shown(edit->GetValue());
        if (auto* label = dynamic_cast<wxStaticText*>(w)) return Shown(label->GetLabel());
        if (auto* dialog = dynamic_cast<wxDialog*>(w)) return Shown(dialog->GetTitle());
        return {};
    }
    std::vector<std::string> Entries(HWND combo) override {
        std::vector<std::string> entries;
        for (const wxString& e :
             static_cast<wxOwnerDrawnComboBox*>(m_b.Window(combo))->GetStrings())
            entries.push_back(Shown(e));
        return entries;
    }
    bool Checked(HWND box) override {
        return static_cast<wxCheckBox*>(m_b.Window(box))->GetValue();
    }
    bool Usable(HWND control) override { return m_b.Window(control)->IsEnabled(); }
    int Rows(HWND list) override {
        return static_cast<wxListCtrl*>(m_b.Window(list))->GetItemCount();
    }
    std::string Cell(HWND list, int row, int col) override {
        return Shown(static_cast<wxListCtrl*>(m_b.Window(list))->GetItemText(row, col));
    }
    int ShownTopWindows() override {
        int shown = 0;
        for (wxWindow* w : wxTopLevelWindows) shown += w->IsShown();
        return shown;
    }
    bool HasIcon(HWND dialog) override {
        return static_cast<wxDialog*>(m_b.Window(dialog))->GetIcon().IsOk();
    }
    ui::Rect Frame(HWND window) override {
        wxRect r = m_b.Window(window)->GetScreenRect();
        return {r.x, r.y, r.x + r.width, r.y + r.height};
    }
    int ClientWidth(HWND dialog) override { return m_b.Window(dialog)->GetClientSize().x; }
    int TextWidth(HWND window, const std::string& text) override {
        return m_b.TextExtent(window, text).cx;
    }

private:
    ui::wx::WxBackend& m_b;
};

// The shared session, with what only GTK shows: how the drop-downs are drawn, the
// accessible names and values, the list's scroll bars, the windows' pictures.
TEST_F(GuiTest, StartChangeTheEthernetAddressAndJoinANetwork) {
    WxScreen screen(B());
    demo::Extras extras;
    extras.mainOpened = [&](ui::DialogScript& main) {
        main.Call([&] {
            auto* window = dynamic_cast<wxDialog*>(B().Window(Main()));
            ASSERT_NE(window, nullptr);
            // The drop-downs stand as tall as the buttons on their rows, drawn without a
            // highlight bar; a widened label keeps a gap to its box.
            for (int id : {IDC_DEVICE_COMBO, IDC_COUNTRY_COMBO}) {
                auto* combo = Native<wxWindow>(id);
                EXPECT_EQ(combo->GetSize().y, Native<wxWindow>(IDC_DEVICE_SCAN)->GetSize().y);
                EXPECT_EQ(CountColour(OwnPixels(*combo),
                                      wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT)),
                          0);
            }
            for (auto [label, box] : {std::pair{IDC_ETH_GATEWAY_LABEL, IDC_ETH_GATEWAY},
                                      std::pair{IDC_WIFI_GATEWAY_LABEL, IDC_WIFI_GATEWAY}}) {
                EXPECT_GE(Native<wxWindow>(box)->GetPosition().x -
                              Native<wxWindow>(label)->GetRect().GetRight(),
                          window->ConvertDialogToPixels(wxSize(3, 0)).x);
            }
            // Each control's accessible name is its label, its value its text.
            std::vector<std::string> accessible;
            for (int id : {IDC_DEVICE_COMBO, IDC_COUNTRY_COMBO, IDC_SSID, IDC_WIFI_ADDR,
                           IDC_WIFI_MASK, IDC_ETH_GATEWAY}) {
                accessible.push_back(Accessible(Native<wxWindow>(id)));
            }
            EXPECT_THAT(accessible,
                        ElementsAre("Device=USB001 PID:0001 Quillo R7 Network Module FW 1.01.02",
                                    "Country=*Germany", "SSID=HomeNet", "IP Addr=192.168.1.200",
                                    "Mask=255.255.255.0", "Gateway=192.168.1.1"));
            SaveScreenshot(*window, "netcfg-main");
        });
    };
    extras.ipEdited = [&](ui::DialogScript& main) {
        main.Call([&] {
            EXPECT_EQ(Accessible(Native<wxWindow>(IDC_ETH_ADDR)), "IP Addr=192.168.1.120");
        });
    };
    extras.waitShown = [&](ui::DialogScript& wait, int nth) {
        wait.Call([&, nth] {
            HWND top = B().ModalStack().back().dialog;
            wxWindow* window = B().Window(top);
            EXPECT_TRUE(window->IsShown());
            EXPECT_EQ(Native<wxWindow>(IDC_WAIT_TEXT, top)->GetPosition(),
                      window->ConvertDialogToPixels(wxPoint(7, 12)));
            if (nth == 1) SaveScreenshot(*window, "netcfg-wait");
        });
    };
    extras.listShown = [&](ui::DialogScript& list) {
        list.Call([&] {
                HWND dialog = B().ModalStack().back().dialog;
                auto* rows = Native<wxListCtrl>(IDC_AP_LIST, dialog);
                // At its template place and size, its scroll bars always shown.
                wxWindow* owner = B().Window(dialog);
                EXPECT_EQ(rows->GetRect(), wxRect(owner->ConvertDialogToPixels(wxPoint(7, 7)),
                                                  owner->ConvertDialogToPixels(wxSize(348, 135))));
                for (wxWindow* w : {static_cast<wxWindow*>(rows),
                                    B().ListRows(B().GetControl(dialog, IDC_AP_LIST))}) {
                    GtkWidget* g = w->GetHandle();
                    if (GTK_IS_SCROLLED_WINDOW(g)) {
                        EXPECT_FALSE(
                            gtk_scrolled_window_get_overlay_scrolling(GTK_SCROLLED_WINDOW(g)));
                    }
                }
                SaveScreenshot(*owner, "netcfg-list");
            })
            .Call([&] {
                // A click at the right end of the horizontal scroll bar's trough.
                wxRect r = Native<wxListCtrl>(IDC_AP_LIST, B().ModalStack().back().dialog)
                               ->GetScreenRect();
                wxUIActionSimulator mouse;
                mouse.MouseMove(r.GetRight() - 8, r.GetBottom() - 5);
                mouse.MouseClick();
            })
            .Wait(300)
            .Call([&] {
                // Scrolled, and each heading still stands over its column's rule.
                HWND dialog = B().ModalStack().back().dialog;
                auto* rows = Native<wxListCtrl>(IDC_AP_LIST, dialog);
                EXPECT_GT(rows->GetScrollPos(wxHORIZONTAL), 0);
                wxImage shown = OwnPixels(*rows);
                int headings = B().ListRows(B().GetControl(dialog, IDC_AP_LIST))->GetPosition().y;
                std::vector<int> rules = VerticalLines(shown, headings + 2, headings + 60);
                std::vector<int> edges = VerticalLines(shown, 3, headings - 3);
                EXPECT_GE(rules.size(), 5u);
                for (int x : rules) {
                    EXPECT_TRUE(std::any_of(edges.begin(), edges.end(),
                                            [x](int e) { return std::abs(e - x) <= 1; }))
                        << "rule at " << x;
                }
                SaveScreenshot(*B().Window(dialog), "netcfg-list-right");
            });
    };
    demo::Session session;
    demo::ScriptChangeAndJoin(
        User(), screen, m_devices, [&] { return Main(); },
        [&] { return B().ModalStack().back().dialog; }, extras, session);

    EXPECT_EQ(demo::RunDemo(), 0);
    demo::ExpectChangedAndJoined(User(), session);
    // Every request went out under the busy cursor.
    EXPECT_THAT(m_link.busy, testing::Each(true));
    EXPECT_GT(m_link.busy.size(), 20u);
}

// The keyboard, as the user presses keys at the X server: Tab reaches every control that
// has a tab stop, in the template's order, each IP address control once; Escape on an open
// list closes the list and nothing more; a message box shows its whole caption, and the
// main window has painted itself over where the box stood before the scan starts.
TEST_F(GuiTest, KeyboardTabOrderEscapeOnAnOpenListAndAMessageBox) {
    wxUIActionSimulator keyboard;
    std::vector<int> stops;
    std::vector<std::string> painted;  // controls that show a selection without the focus
    ui::DialogScript& main = User().OnDialog(IDD_NETCFG_DIALOG);
    main.Wait(300).Call([&] {
        // With no window manager the keyboard follows the pointer.
        keyboard.MouseMove(B().Window(Main())->GetScreenRect().GetPosition() + wxPoint(5, 5));
        Native<wxWindow>(IDC_DEVICE_COMBO)->SetFocus();
    });
    for (int i = 0; i < 11; ++i) {
        main.Wait(100).Call([&] {
            stops.push_back(FocusedId());
            // Only the focused field may show a selection.
            std::vector<wxTextCtrl*> texts{Native<wxTextCtrl>(IDC_SSID)};
            for (int f = 0; f < 4; ++f) {
                texts.push_back(Native<ui::wx::IpAddressCtrl>(IDC_WIFI_ADDR)->Field(f));
            }
            for (wxTextCtrl* t : texts) {
                if (t != wxWindow::FindFocus() && !t->GetStringSelection().empty())
                    painted.push_back(Shown(t->GetValue()));
            }
            keyboard.Char(WXK_TAB);
        });
    }
    main.Wait(100).Call([&] {
        stops.push_back(FocusedId());
        keyboard.Char(WXK_TAB, wxMOD_SHIFT);
    });
    main.Wait(100).Call([&] {
        stops.push_back(FocusedId());
        Native<wxWindow>(IDC_WIFI_MASK)->SetFocus();
        keyboard.Char(WXK_TAB, wxMOD_SHIFT);  // from its first field: one stop back
    });
    main.Wait(100)
        .Call([&] {
            stops.push_back(FocusedId());
            Native<wxOwnerDrawnComboBox>(IDC_DEVICE_COMBO)->Popup();
        })
        .Wait(200)
        .Call([&] {
            EXPECT_TRUE(Native<wxOwnerDrawnComboBox>(IDC_DEVICE_COMBO)->IsPopupShown());
            keyboard.Char(WXK_ESCAPE);
        })
        .Wait(300)
        .Call(
            [&] { EXPECT_FALSE(Native<wxOwnerDrawnComboBox>(IDC_DEVICE_COMBO)->IsPopupShown()); });

    // The scan's request goes out from a window that has painted what a window closed over
    // it left: the damage is made in the step that presses the button, so only the program
    // can have painted it.
    int draws = 0;
    int drawsBefore = -1;
    int drawsAtScan = -1;
    main.Call([&] {
        g_signal_connect(B().Window(Main())->GetHandle(), "draw",
                         G_CALLBACK(+[](GtkWidget*, cairo_t*, int* n) {
                             ++*n;
                             return FALSE;
                         }),
                         &draws);
        m_link.onScan = [&] { drawsAtScan = draws; };
        B().Window(Main())->Refresh();
        drawsBefore = draws;
        wxWindow* scan = Native<wxWindow>(IDC_SSID_SCAN);
        wxCommandEvent click(wxEVT_BUTTON, scan->GetId());
        click.SetEventObject(scan);
        scan->HandleWindowEvent(click);
    });
    User().OnDialog(IDD_AP_LIST).Escape();

    // A short message leaves the box as wide as its caption and at least two window buttons
    // beside it (each about as wide as the title bar is high).
    std::unique_ptr<BoxWatch> watch;
    main.Call([&] {
            m_devices.first.SetPresent(false);
            m_devices.second.SetPresent(false);
            watch = std::make_unique<BoxWatch>(B(), [&](wxDialog& box) {
                wxFont title = box.GetFont().Bold();
                int caption = 0;
                int high = 0;
                box.GetTextExtent(box.GetTitle(), &caption, &high, nullptr, nullptr, &title);
                EXPECT_GE(box.GetClientSize().x, caption + 2 * 2 * high);
                SaveScreenshot(box, "netcfg-message");
            });
        })
        .Click(IDC_DEVICE_SCAN);
    User().OnMessageBox("Device not found!!!", 400);
    main.Escape();

    EXPECT_EQ(demo::RunDemo(), 0);
    EXPECT_THAT(stops, ElementsAre(IDC_DEVICE_COMBO, IDC_COUNTRY_COMBO, IDC_SSID, IDC_DEVICE_SCAN,
                                   IDC_COUNTRY_SET, IDC_SSID_SCAN, IDC_ETH_DHCP, IDC_WIFI_DHCP,
                                   IDC_WIFI_ADDR, IDC_WIFI_MASK, IDC_WIFI_GATEWAY, IDC_DEVICE_COMBO,
                                   IDC_WIFI_GATEWAY, IDC_WIFI_ADDR));
    EXPECT_THAT(painted, IsEmpty());
    EXPECT_GT(drawsAtScan, drawsBefore);
}

}  // namespace

// The demo program as a user meets it: its application on the wx backend against the two
// simulated devices, driven through the toolkit's controls by a scripted user on the real
// clock, under Xvfb. What is checked is what the windows show, where they stand, what
// the keyboard reaches and what the accessibility objects say. A picture of the main window
// is saved in the build tree (NETCFG_GUI_SCREENSHOTS) for the README.
#include <gmock/gmock.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/imagpng.h>
#include <wx/listctrl.h>
#include <wx/odcombo.h>
#include <wx/settings.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <gtk/gtk.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "app/netcfg_app.h"
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

// A window's own pixels: under Xvfb without a window manager the screen does not show
// every window that is up.
wxImage OwnPixels(wxWindow& window) {
    GdkWindow* g = gtk_widget_get_window(window.GetHandle());
    wxSize size = window.GetSize();
    GdkPixbuf* p = g ? gdk_pixbuf_get_from_window(g, 0, 0, size.x, size.y) : nullptr;
    return p ? wxBitmap(p).ConvertToImage() : wxImage();  // the bitmap takes the pixbuf
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
        m_link.Attach(m_devices.first, "0001", 1);
        m_link.Attach(m_devices.second, "0002", 2);
        UsbSetLink(&m_link);
    }
    void TearDown() override { UsbSetLink(nullptr); }

    ui::wx::WxBackend& B() { return m_harness.Backend(); }
    HWND Main() { return m_app.m_pMainWnd ? m_app.m_pMainWnd->m_hWnd : 0; }
    template <class T>
    T* Native(int id, HWND dialog = 0) {
        return dynamic_cast<T*>(B().Window(B().GetControl(dialog ? dialog : Main(), id)));
    }
    HWND Top() { return B().ModalStack().back().dialog; }
    // The main dialog's control that has the focus, by id; 0 for none.
    int FocusedId() {
        for (wxWindow* w = wxWindow::FindFocus(); w && w != B().Window(Main());
             w = w->GetParent()) {
            for (int id = IDC_DEVICE_LABEL; id <= IDC_SSID; ++id) {
                if (w == Native<wxWindow>(id)) return id;
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
        for (const wxString& e : W<wxOwnerDrawnComboBox>(combo)->GetStrings())
            entries.push_back(Shown(e));
        return entries;
    }
    bool Checked(HWND box) override { return W<wxCheckBox>(box)->GetValue(); }
    bool Usable(HWND control) override { return W<wxWindow>(control)->IsEnabled(); }
    int Rows(HWND list) override { return W<wxListCtrl>(list)->GetItemCount(); }
    std::string Cell(HWND list, int row, int col) override {
        return Shown(W<wxListCtrl>(list)->GetItemText(row, col));
    }
    int ShownTopWindows() override {
        return std::count_if(wxTopLevelWindows.begin(), wxTopLevelWindows.end(),
                             [](wxWindow* w) { return w->IsShown(); });
    }
    bool HasIcon(HWND dialog) override { return W<wxDialog>(dialog)->GetIcon().IsOk(); }
    ui::Rect Frame(HWND window) override {
        wxRect r = W<wxWindow>(window)->GetScreenRect();
        return {r.x, r.y, r.x + r.width, r.y + r.height};
    }
    int ClientWidth(HWND dialog) override { return W<wxWindow>(dialog)->GetClientSize().x; }
    int TextWidth(HWND window, const std::string& text) override {
        return m_b.TextExtent(window, text).cx;
    }

private:
    template <class T>
    T* W(HWND h) {
        return static_cast<T*>(m_b.Window(h));
    }
    ui::wx::WxBackend& m_b;
};

// The shared session, with what only GTK shows: how the drop-downs are drawn, the
// accessible names and values, the list's scroll bars, the busy cursor, the main window's
// picture; and the keyboard, as the user presses keys at the X server: Tab reaches every
// control that has a tab stop, in the template's order, each IP address control once, and
// Escape on an open list closes the list and nothing more.
TEST_F(GuiTest, StartChangeTheEthernetAddressAndJoinANetworkWithKeysAndPictures) {
    WxScreen screen(B());
    wxUIActionSimulator input;
    std::vector<int> stops;
    std::vector<std::string> painted;  // controls that show a selection without the focus
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
            wxImage::AddHandler(new wxPNGHandler);
            std::string picture = NETCFG_GUI_SCREENSHOTS "/netcfg-main.png";
            EXPECT_TRUE(OwnPixels(*window).SaveFile(picture, wxBITMAP_TYPE_PNG)) << picture;
            // With no window manager the keyboard follows the pointer.
            input.MouseMove(window->GetScreenRect().GetPosition() + wxPoint(5, 5));
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
                input.Char(WXK_TAB);
            });
        }
        main.Wait(100).Call([&] {
            stops.push_back(FocusedId());
            input.Char(WXK_TAB, wxMOD_SHIFT);
        });
        main.Wait(100).Call([&] {
            stops.push_back(FocusedId());
            Native<wxWindow>(IDC_WIFI_MASK)->SetFocus();
            input.Char(WXK_TAB, wxMOD_SHIFT);  // from its first field: one stop back
        });
        main.Wait(100)
            .Call([&] {
                stops.push_back(FocusedId());
                Native<wxOwnerDrawnComboBox>(IDC_DEVICE_COMBO)->Popup();
            })
            .Wait(200)
            .Call([&] {
                EXPECT_TRUE(Native<wxOwnerDrawnComboBox>(IDC_DEVICE_COMBO)->IsPopupShown());
                input.Char(WXK_ESCAPE);
            })
            .Wait(300)
            .Call([&] {
                EXPECT_FALSE(Native<wxOwnerDrawnComboBox>(IDC_DEVICE_COMBO)->IsPopupShown());
            });
    };
    extras.ipEdited = [&](ui::DialogScript& main) {
        main.Call([&] {
            EXPECT_EQ(Accessible(Native<wxWindow>(IDC_ETH_ADDR)), "IP Addr=192.168.1.120");
        });
    };
    // The only control of its dialog, at its template place: not stretched over the window.
    extras.waitShown = [&](ui::DialogScript& wait) {
        wait.Call([&] {
            EXPECT_EQ(Native<wxWindow>(IDC_WAIT_TEXT, Top())->GetPosition(),
                      B().Window(Top())->ConvertDialogToPixels(wxPoint(7, 12)));
        });
    };
    // The scan's request goes out from a window that has painted what a window closed over
    // it left: the damage is made in the step that presses the button, so only the program
    // can have painted it.
    int draws = 0;
    int drawsBefore = -1;
    int drawsAtScan = -1;
    extras.pressScan = [&] {
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
    };
    extras.listShown = [&](ui::DialogScript& list) {
        list.Call([&] {
                // The scroll bars always shown, and a click at the right end of the
                // horizontal one's trough.
                auto* rows = Native<wxListCtrl>(IDC_AP_LIST, Top());
                for (wxWindow* w : {static_cast<wxWindow*>(rows),
                                    B().ListRows(B().GetControl(Top(), IDC_AP_LIST))}) {
                    GtkWidget* g = w->GetHandle();
                    if (GTK_IS_SCROLLED_WINDOW(g)) {
                        EXPECT_FALSE(
                            gtk_scrolled_window_get_overlay_scrolling(GTK_SCROLLED_WINDOW(g)));
                    }
                }
                wxRect r = rows->GetScreenRect();
                input.MouseMove(r.GetRight() - 8, r.GetBottom() - 5);
                input.MouseClick();
            })
            .Wait(300)
            .Call([&] {
                // Scrolled, and each heading still stands over its column's rule.
                auto* rows = Native<wxListCtrl>(IDC_AP_LIST, Top());
                EXPECT_GT(rows->GetScrollPos(wxHORIZONTAL), 0);
                wxImage shown = OwnPixels(*rows);
                int headings = B().ListRows(B().GetControl(Top(), IDC_AP_LIST))->GetPosition().y;
                std::vector<int> rules = VerticalLines(shown, headings + 2, headings + 60);
                std::vector<int> edges = VerticalLines(shown, 3, headings - 3);
                EXPECT_GE(rules.size(), 5u);
                for (int x : rules) {
                    EXPECT_TRUE(std::any_of(edges.begin(), edges.end(),
                                            [x](int e) { return std::abs(e - x) <= 1; }))
                        << "rule at " << x;
                }
            });
    };
    demo::PlayChangeAndJoin(
        m_harness, screen, m_devices, [&] { return Main(); }, [&] { return Top(); }, extras);
    EXPECT_THAT(stops, ElementsAre(IDC_DEVICE_COMBO, IDC_COUNTRY_COMBO, IDC_SSID, IDC_DEVICE_SCAN,
                                   IDC_COUNTRY_SET, IDC_SSID_SCAN, IDC_ETH_DHCP, IDC_WIFI_DHCP,
                                   IDC_WIFI_ADDR, IDC_WIFI_MASK, IDC_WIFI_GATEWAY, IDC_DEVICE_COMBO,
                                   IDC_WIFI_GATEWAY, IDC_WIFI_ADDR));
    EXPECT_THAT(painted, IsEmpty());
    EXPECT_GT(drawsAtScan, drawsBefore);
    // Every request went out under the busy cursor.
    EXPECT_THAT(m_link.busy, testing::Each(true));
    EXPECT_GT(m_link.busy.size(), 20u);
}

}  // namespace

// Control semantics every backend must show. Timing checks are written so that they hold
// on virtual time exactly and on a real clock within a scheduler's jitter.
#include "semantics.h"

#include "base/clock.h"

namespace uitest {

using testing::ElementsAre;
using testing::Pair;
using Kind = ui::WindowKind;

void RegisterTestTemplates() {
    using C = ui::ControlTemplate;
    using D = ui::DialogTemplate;
    std::vector<C> controls = {
        {kButton, Kind::PushButton, "Go", 5, 5, 40, 12, C::TabStop},
        {kCheck, Kind::CheckBox, "Check", 50, 5, 40, 10, C::TabStop},
        {kEdit, Kind::Edit, "", 5, 20, 60, 12, C::Border | C::AutoHScroll},
        {kCombo, Kind::ComboDropList, "", 70, 20, 60, 80, C::Sort | C::VScroll},
        {kIp, Kind::IpAddress, "", 5, 35, 80, 14},
        {kList, Kind::ListReport, "", 5, 52, 120, 40, C::SingleSel | C::Border},
        {kLabel, Kind::Static, "label", 130, 5, 60, 8},
        {kPassword, Kind::Edit, "", 130, 20, 60, 12, C::Password},
        {kUnmapped, Kind::PushButton, "None", 130, 35, 30, 12},
        {1010, Kind::PushButton, "A", 130, 50, 20, 12},
        {1011, Kind::PushButton, "B", 150, 50, 20, 12},
        {1012, Kind::PushButton, "C", 170, 50, 20, 12},
        {kReadOnly, Kind::Edit, "fixed", 130, 65, 60, 12, C::ReadOnly},
    };
    uint32_t frame = D::Popup | D::Caption | D::ModalFrame;
    ui::RegisterDialogTemplate(
        {kProbe, "Probe", frame | D::SysMenu, "System", 10, 10, 20, 200, 100, controls});
    ui::RegisterDialogTemplate(
        {kNoClose, "No close", frame, "System", 10, 0, 0, 200, 100, controls});
}

BEGIN_MESSAGE_MAP(CProbeDlg, CDialog)
ON_BN_CLICKED(kButton, &CProbeDlg::OnButton)
ON_BN_CLICKED(kCheck, &CProbeDlg::OnCheck)
ON_CONTROL_RANGE(BN_CLICKED, kRangeFirst, kRangeLast, &CProbeDlg::OnRange)
ON_BN_CLICKED(1011, &CProbeDlg::OnShadowed)  // the range above comes first
ON_EN_CHANGE(kEdit, &CProbeDlg::OnEditChange)
ON_CBN_SELCHANGE(kCombo, &CProbeDlg::OnSelChange)
ON_CBN_DROPDOWN(kCombo, &CProbeDlg::OnDropDown)
ON_NOTIFY(NM_DBLCLK, kList, &CProbeDlg::OnDblclkList)
ON_NOTIFY_RANGE(IPN_FIELDCHANGED, kIp, kIp, &CProbeDlg::OnIpFieldChanged)
END_MESSAGE_MAP()

// --- Combo boxes ---

TEST_P(UiSemantics, ComboInsertsWhereAskedSearchesExactlyAndKeepsItsSelection) {
    RunInProbe([](CProbeDlg& d) {
        CComboBox& c = d.m_combo;
        EXPECT_EQ(c.AddString("Alpha"), 0);
        EXPECT_EQ(c.AddString("beta"), 1);  // the sort style does not reorder
        EXPECT_EQ(c.InsertString(1, "ALPHA"), 1);
        EXPECT_EQ(c.InsertString(-1, "\xC3\x84rger"), 3);
        EXPECT_EQ(c.InsertString(5, "x"), CB_ERR);
        std::vector<std::string> entries;
        for (int i = 0; i < c.GetCount(); ++i) entries.push_back(c.GetLBText(i));
        EXPECT_THAT(entries, ElementsAre("Alpha", "ALPHA", "beta", "\xC3\x84rger"));
        std::tuple<int, const char*, int> cases[] = {
            // start after, text, found
            {-1, "alpha", 0},        {0, "alpha", 1},
            {1, "alpha", 0},  // wraps to the top
            {-1, "alph", CB_ERR},    {99, "BETA", 2},
            {-1, "\xC3\x84RGER", 3}, {-1, "\xC3\xA4rger", CB_ERR},  // only ASCII letters fold
        };
        for (auto [after, text, found] : cases) EXPECT_EQ(c.FindStringExact(after, text), found);

        EXPECT_EQ(c.GetCurSel(), CB_ERR);
        EXPECT_EQ(c.GetWindowText(), "");
        EXPECT_EQ(c.SetCurSel(2), 2);
        EXPECT_EQ(c.GetWindowText(), "beta");
        c.InsertString(0, "first");  // the selection stays on "beta"
        EXPECT_EQ(c.GetCurSel(), 3);
        EXPECT_EQ(c.DeleteString(0), 4);
        EXPECT_EQ(c.GetCurSel(), 2);
        EXPECT_EQ(c.DeleteString(2), 3);  // its own entry goes: nothing selected
        EXPECT_EQ(c.GetCurSel(), CB_ERR);
        c.SetCurSel(0);
        EXPECT_EQ(c.SetCurSel(7), CB_ERR);  // out of range selects nothing
        EXPECT_EQ(c.GetCurSel(), CB_ERR);
        c.ResetContent();
        EXPECT_EQ(c.GetCount(), 0);
    });
}

// --- List views and IP address controls ---

TEST_P(UiSemantics, ListViewCellsSelectionMarkAndIpControlFields) {
    CProbeDlg dlg;
    dlg.m_onInit = [](CProbeDlg& d) {
        CListCtrl& l = d.m_list;
        l.InsertColumn(0, " ", LVCFMT_CENTER, 15);
        EXPECT_EQ(l.InsertColumn(9, "SSID", LVCFMT_CENTER, 320), 1);  // past the end: appended
        EXPECT_EQ(l.InsertItem(0, "b"), 0);
        EXPECT_EQ(l.InsertItem(0, "a"), 0);  // inserted at the row given
        EXPECT_TRUE(l.SetItemText(1, 1, "caf\xC3\xA9"));
        EXPECT_FALSE(l.SetItemText(1, 2, "no such column"));
        EXPECT_EQ(l.GetItemText(0, 0), "a");
        EXPECT_EQ(l.GetItemText(1, 1), "caf\xC3\xA9");
        char small[4];  // the access point list reads cells into a buffer of its own
        EXPECT_EQ(l.GetItemText(1, 1, small, sizeof small), 3);
        EXPECT_STREQ(small, "caf");
        l.SetExtendedStyle(0x4);
        EXPECT_EQ(l.SetExtendedStyle(0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT), 0x4u);
        EXPECT_EQ(l.GetExtendedStyle(), 0x21u);  // mask 0: every style replaced
        EXPECT_EQ(l.GetSelectionMark(), -1);

        std::tuple<const char*, const char*, int> cases[] = {
            // set, get, fields filled
            {"192.168.1.57", "192.168.1.57", 4},
            {"", "0.0.0.0", 0},
            {"10", "10.0.0.0", 1},
            {"1.0..4", "1.0.0.4", 3},  // a 0 given fills its field
            {"300.1.2.3", "255.1.2.3", 4},
            {"a.7x.3.4.5", "0.7.3.4", 3},
        };
        for (auto [set, get, filled] : cases) {
            d.m_ip.SetWindowText(set);
            EXPECT_EQ(d.m_ip.GetWindowText(), get) << set;
            BYTE f[4];
            EXPECT_EQ(d.m_ip.GetAddress(f[0], f[1], f[2], f[3]), filled) << set;
        }
        d.m_ip.SetAddress(10, 0, 0, 1);  // from code: no notification
    };
    User()
        .OnDialog(kProbe)
        .ClickRow(kList, 1)
        .Call([&] {
            EXPECT_EQ(dlg.m_list.GetSelectionMark(), 1);
            dlg.m_list.InsertItem(0, "top");  // the mark stays on its row
            EXPECT_EQ(dlg.m_list.GetSelectionMark(), 2);
        })
        .DoubleClickRow(kList, 0)
        .DoubleClickRow(kList, -1)  // blank space: the mark stays
        .Call([&] {
            dlg.m_list.DeleteAllItems();
            EXPECT_EQ(dlg.m_list.GetSelectionMark(), -1);
        })
        .SetIp(kIp, "10.0.7.1")
        .SetIp(kIp, "10.1.7")
        .SetIpField(kIp, 0, 300)
        .Escape();
    dlg.DoModal();
    EXPECT_THAT(dlg.m_log, ElementsAre("dblclk 0 mark 0", "dblclk -1 mark 0",
                                       "ip 1005 field 2=7 10.0.7.1",  // unchanged fields: none
                                       "ip 1005 field 1=1 10.1.7.1", "ip 1005 field 3=-1 10.1.7.0",
                                       "ip 1005 field 0=255 255.1.7.0", "key 27", "OnCancel"));
}

// --- Edits and data exchange ---

// DDV_MaxChars limits the edit: code may set more, which OnOK refuses and stays open, but
// the user cannot type more.
TEST_P(UiSemantics, DataExchangeBothWaysAndTheEditLimit) {
    CProbeDlg dlg;
    dlg.m_text = "abcdef";
    User()
        .OnDialog(kProbe)
        .Type(kPassword, "s\xC3\xA9")
        .Enter()
        .Call([&] { EXPECT_EQ(dlg.m_secret, ""); })  // the exchange stopped at the refusal
        .Clear(kEdit)
        .Type(kEdit, "abcdefg")
        .Type(kReadOnly, "x")
        .Call([&] { EXPECT_EQ(dlg.GetDlgItem(kReadOnly)->GetWindowText(), "fixed"); })
        .Enter();
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_text, "abcde");
    EXPECT_EQ(dlg.m_secret, "s\xC3\xA9");  // masked on screen, the real bytes here
    EXPECT_THAT(dlg.m_log,
                ElementsAre("key 13", "OnOK", "change ", "change a", "change ab", "change abc",
                            "change abcd", "change abcde", "key 13", "OnOK"));
    EXPECT_THAT(m_harness->Log(), testing::Contains("dialog 900: control 1013: read-only"));
    ASSERT_EQ(User().MessageBoxes().size(), 1u);
    EXPECT_EQ(User().MessageBoxes()[0].text, "Enter no more than 5 characters.");
    EXPECT_EQ(User().MessageBoxes()[0].caption, "semantics");
}

// --- Ends of a dialog ---

// Plain Enter and Escape are in the cases above; these end through OnCancel too.
TEST_P(UiSemantics, ConsumedEnterCloseBoxAndPostedCloseEndThroughOnCancel) {
    struct {
        std::function<void(ui::DialogScript&)> act;
        std::vector<std::string> log;
    } cases[] = {
        {[](auto& s) { s.Enter().Escape(); }, {"key 13", "key 27", "OnCancel"}},
        {[](auto& s) { s.Close(); }, {"OnCancel"}},
        {[](auto& s) { s.Click(kButton); }, {"button", "OnCancel"}},  // posts WM_CLOSE
    };
    for (auto& c : cases) {
        CProbeDlg dlg;
        dlg.m_eatEnter = true;  // PreTranslateMessage consumes Enter: no OnOK
        dlg.m_onButton = [](CProbeDlg& d) { d.PostMessage(WM_CLOSE); };
        c.act(User().OnDialog(kProbe, 0));
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(dlg.m_log, c.log);
        User() = {};
    }
}

// A scripted user must not do what a real one could not, or tests would pass that a user
// would fail; a step that cannot be acted out is the test's fault, reported.
TEST_P(UiSemantics, DriverDoesOnlyWhatTheWindowLetsAUserDo) {
    CProbeDlg dlg(kNoClose);
    dlg.m_onInit = [](CProbeDlg& d) {
        d.GetDlgItem(kButton)->EnableWindow(FALSE);
        d.m_check.ShowWindow(SW_HIDE);
    };
    ui::DialogScript& script = User().OnDialog(kNoClose);
    script.Click(kButton).Click(kCheck).Close().Click(4242).SetIpField(kIp, 4, 1).Escape();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_THAT(dlg.m_log, ElementsAre("key 27", "OnCancel"));
    EXPECT_THAT(m_harness->Log(),
                testing::IsSupersetOf({"dialog 902: control 1001: ignored: disabled",
                                       "dialog 902: control 1002: ignored: hidden",
                                       "dialog 902: close ignored: no close box"}));
    EXPECT_THAT(m_harness->TakeErrors(),
                ElementsAre("script: dialog 902: control 4242 does not exist",
                            "script: dialog 902: control 1005 has no field 4"));
}

// --- Message maps ---

class CEnterDlg : public CProbeDlg {
    void OnEnter() {
        m_log.push_back("derived IDOK");
        EndDialog(77);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CEnterDlg, CProbeDlg)
ON_BN_CLICKED(IDOK, &CEnterDlg::OnEnter)
END_MESSAGE_MAP()

TEST_P(UiSemantics, MessageMapRunsTheFirstEntryThatMatches) {
    CEnterDlg dlg;
    User()
        .OnDialog(kProbe)
        .Click(kRangeFirst)
        .Click(1011)
        .Click(kRangeLast)
        .Click(kUnmapped)  // no entry: nothing runs
        .Click(kCheck)     // toggled before the handler reads it
        .Call([&] { dlg.m_combo.AddString("b"); })
        .DropDown(kCombo)
        .Select(kCombo, 0)
        .Click(kButton)  // the base class's entry
        .Enter();        // the derived map's IDOK entry comes before the base's OnOK
    EXPECT_EQ(dlg.DoModal(), 77);
    EXPECT_THAT(dlg.m_log, ElementsAre("range 1010", "range 1011", "range 1012", "check 1",
                                       "dropdown", "sel b", "button", "key 13", "derived IDOK"));
}

// --- Timers ---

// Timers go on in the loops nested above their dialog: a message box their own handler
// opened, which enters that handler again, and a dialog run over it (as the wait window
// and the access point list run over the main dialog). A dialog ended from there ends
// when the loops above it have.
TEST_P(UiSemantics, TimersGoOnInLoopsNestedAboveTheirDialog) {
    CProbeDlg outer;
    CProbeDlg inner(kNoClose);
    int ticks = 0, depth = 0, ticksUnderTheBox = 0, ticksUnderInner = 0;
    bool innerOpen = false;
    outer.m_onInit = [](CProbeDlg& d) { EXPECT_EQ(d.SetTimer(1, 100), 1u); };
    outer.m_onTimer = [&](CProbeDlg& d, UINT_PTR id) {
        EXPECT_EQ(id, 1u);
        ticksUnderTheBox += depth;
        ticksUnderInner += innerOpen;
        if (++depth == 1 && ticks++ == 0) d.MessageBox("tick");
        if (ticksUnderInner == 3) d.EndDialog(IDOK);
        --depth;
    };
    outer.m_onButton = [&](CProbeDlg&) {
        innerOpen = true;
        EXPECT_EQ(inner.DoModal(), IDCANCEL);
        innerOpen = false;
    };
    inner.m_onInit = [&](CProbeDlg& d) { EXPECT_EQ(d.GetOwner(), &outer); };
    User().OnMessageBox("tick", 450);
    User().OnDialog(kProbe).Wait(700).Click(kButton);
    User()
        .OnDialog(kNoClose)
        .Call([&] { EXPECT_FALSE(outer.IsWindowEnabled()); })
        .Wait(450)
        .Escape();
    EXPECT_EQ(outer.DoModal(), IDOK);
    EXPECT_GE(ticksUnderTheBox, 3);  // at about 200, 300, 400 and 500 ms
    EXPECT_GE(ticksUnderInner, 3);
    EXPECT_THAT(outer.m_log, ElementsAre("button"));
}

// As the wait dialog against a device slower than its poll period: the slow timer must
// leave the counting timer and the posted WM_CLOSE their turn, and its missed ticks become
// one, a period after its handler returned.
TEST_P(UiSemantics, SlowTimerLeavesOtherTimersAndPostedMessagesTheirTurn) {
    CProbeDlg dlg;
    std::vector<std::pair<uint32_t, uint32_t>> polls;  // start and end of each handler
    int seconds = 0;
    dlg.m_onInit = [](CProbeDlg& d) {
        d.SetTimer(1, 50);
        d.SetTimer(2, 100);
        d.SetTimer(3, 10);
        EXPECT_TRUE(d.KillTimer(3));
        EXPECT_FALSE(d.KillTimer(3));  // no longer set
    };
    dlg.m_onTimer = [&](CProbeDlg& d, UINT_PTR id) {
        EXPECT_NE(id, 3u);  // killed before it was due
        if (id == 2 && ++seconds == 4) d.PostMessage(WM_CLOSE);
        if (id != 1) return;
        uint32_t start = base::GetTickCount();
        base::Sleep(120);
        polls.emplace_back(start, base::GetTickCount());
        if (polls.size() == 12) d.EndDialog(IDOK);  // where a starved loop would end
    };
    uint32_t start = base::GetTickCount();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_GE(base::GetTickCount() - start, 400u);  // four ticks of the counter
    EXPECT_THAT(dlg.m_log, ElementsAre("OnCancel"));
    for (size_t i = 1; i < polls.size(); ++i) {
        EXPECT_GE(polls[i].first - polls[i - 1].second, 45u) << i;
    }
}

// --- Windows ---

TEST_P(UiSemantics, CaptionResizeAndMessageBoxOwners) {
    RunInProbe([](CProbeDlg& d) {
        d.SetWindowText("Caption caf\xC3\xA9");
        EXPECT_EQ(d.GetWindowText(), "Caption caf\xC3\xA9");
        EXPECT_EQ(d.GetDlgItem(4242), nullptr);
        CWnd* button = d.GetDlgItem(kButton);
        EXPECT_FALSE(button->EnableWindow(FALSE));  // was enabled
        EXPECT_TRUE(button->EnableWindow(TRUE));    // was disabled
        EXPECT_TRUE(button->ShowWindow(SW_HIDE));   // was visible
        EXPECT_FALSE(button->IsWindowVisible());

        // The wait window's resize: the client area becomes exactly what was asked.
        CRect window, client, moved, resized;
        d.GetWindowRect(&window);
        d.GetClientRect(&client);
        int width = d.GetTextExtent("Waiting 0000").cx + 30;
        d.SetWindowPos(nullptr, 0, 0, window.Width() - client.Width() + width, window.Height(),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        d.GetWindowRect(&moved);
        d.GetClientRect(&resized);
        EXPECT_EQ(std::tuple(resized.Width(), resized.Height(), moved.left, moved.top),
                  std::tuple(width, client.Height(), window.left, window.top));

        d.SetIcon(AfxGetApp()->LoadIcon(128), TRUE);
        EXPECT_EQ(d.GetIcon(TRUE), AfxGetApp()->LoadIcon(128));
        d.GetDlgItem(kLabel)->MessageBox("from a control", "Own caption");
        AfxMessageBox("Write to USB Timeout");
    });
    std::vector<std::pair<std::string, int>> owners;
    for (const auto& b : User().MessageBoxes()) owners.emplace_back(b.caption, b.ownerTemplate);
    EXPECT_THAT(owners, ElementsAre(Pair("Own caption", kProbe), Pair("semantics", 0)));
}

// Wrappers outlive their controls; using one then must neither crash nor act. A dialog
// runs once at a time, and only from a registered template.
TEST_P(UiSemantics, WrappersOfNoLiveControlDoNothingAndImpossibleRunsFail) {
    auto observe = [](CProbeDlg& d) {
        return std::vector<long>{d.m_combo.AddString("x"),
                                 d.m_combo.GetCurSel(),
                                 d.m_list.InsertItem(0, "x"),
                                 d.m_list.GetSelectionMark(),
                                 static_cast<long>(d.m_list.SetExtendedStyle(0, 0x21)),
                                 d.m_ip.IsBlank(),
                                 d.PostMessage(WM_CLOSE),
                                 static_cast<long>(d.SetTimer(1, 10)),
                                 d.UpdateData(TRUE)};
    };
    std::vector<long> defaults = {CB_ERR, CB_ERR, -1, -1, 0, TRUE, FALSE, 0, FALSE};
    CProbeDlg never;  // unbound
    EXPECT_EQ(observe(never), defaults);
    CProbeDlg ran;  // bound to controls that are gone
    ran.m_onInit = [](CProbeDlg& d) {
        EXPECT_EQ(d.DoModal(), -1);  // already running
        d.EndDialog(5);
    };
    EXPECT_EQ(ran.DoModal(), 5);
    EXPECT_EQ(observe(ran), defaults);
    EXPECT_EQ(CProbeDlg(4711).DoModal(), -1);
}

}  // namespace uitest

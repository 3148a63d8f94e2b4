// The headless backend: the shared suite on it, and what only it promises (the loop
// guards, exact virtual time, its fixed geometry, the scripted user's limits).
#include "ui/headless/headless_backend.h"

#include "base/clock.h"
#include "semantics.h"

namespace uitest {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;
using ui::headless::HeadlessBackend;

struct HeadlessHarness : Harness {
    ui::ScriptedUser& User() override { return m_backend.User(); }
    std::vector<std::string> TakeErrors() override { return m_backend.TakeErrors(); }
    const std::vector<std::string>& Log() override { return m_backend.Log(); }
    base::ScopedVirtualClock m_clock;
    HeadlessBackend m_backend;
    ui::ScopedBackend m_installed{m_backend};
};

std::unique_ptr<Harness> MakeHeadless() { return std::make_unique<HeadlessHarness>(); }

// The suite's fixture, for what only this backend promises.
class HeadlessTest : public UiSemantics {
protected:
    HeadlessBackend& B() { return static_cast<HeadlessHarness&>(*m_harness).m_backend; }
};

const auto kName = [](const auto&) { return std::string("Headless"); };
INSTANTIATE_TEST_SUITE_P(Backend, UiSemantics, testing::Values(&MakeHeadless), kName);
INSTANTIATE_TEST_SUITE_P(Backend, HeadlessTest, testing::Values(&MakeHeadless), kName);

TEST_P(HeadlessTest, LoopGuardsEndTheDialogAndReportIt) {
    const std::string stuck = "stuck: dialog 900 has nothing left that could end it";
    struct {
        const char* name;
        std::function<void(CProbeDlg&, ui::ScriptedUser&)> setUp;
        uint32_t endTick;
        std::string error;
    } cases[] = {
        {"nothing pending", [](auto&, auto&) {}, 0, stuck},
        {"the user only waits", [](auto&, auto& u) { u.OnDialog(kProbe).Wait(300); }, 300, stuck},
        {"endless timer",
         [](auto& dlg, auto&) { dlg.m_onInit = [](CProbeDlg& d) { d.SetTimer(1, 1000); }; }, 5000,
         "time limit: dialog 900 still open after 5000 ms"},
        {"reposts forever",
         [](auto& dlg, auto&) {
             dlg.m_onInit = [](CProbeDlg& d) { d.PostMessage(WM_TIMER, 1); };
             dlg.m_onTimer = [](CProbeDlg& d, UINT_PTR id) { d.PostMessage(WM_TIMER, id); };
         },
         0, "busy: dialog 900 dispatched without end while no time passed"},
    };
    B().SetTimeLimit(5000);
    for (const auto& c : cases) {
        uint32_t start = base::GetTickCount();
        CProbeDlg dlg;
        c.setUp(dlg, User());
        EXPECT_EQ(dlg.DoModal(), IDCANCEL) << c.name;
        EXPECT_THAT(dlg.m_log, IsEmpty()) << c.name;  // ended by the guard, not by OnCancel
        EXPECT_EQ(base::GetTickCount() - start, c.endTick) << c.name;
        EXPECT_THAT(B().TakeErrors(), ElementsAre(c.error)) << c.name;
        User() = {};
    }
}

TEST_P(HeadlessTest, VirtualTimeLandsOnExactTicks) {
    CProbeDlg dlg;
    std::vector<uint32_t> fired;  // tick * 10 + timer id, or + 0 for the click
    int fast = 0;
    dlg.m_onInit = [](CProbeDlg& d) {
        d.SetTimer(1, 300);
        d.SetTimer(2, 100);
    };
    dlg.m_onTimer = [&](CProbeDlg& d, UINT_PTR id) {
        fired.push_back(base::GetTickCount() * 10 + static_cast<uint32_t>(id));
        if (id != 2) return;
        if (++fast == 1) base::Sleep(400);
        if (fast == 3) d.MessageBox("late");
    };
    dlg.m_onButton = [&](CProbeDlg&) { fired.push_back(base::GetTickCount() * 10); };
    User().OnDialog(kProbe).Wait(250).Click(kButton).Wait(650).Escape();
    User().OnMessageBox("late", 30);
    User().OnMessageBox("never shown");
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    // The click was due at 250, but timer 2's handler held the loop until 500; then the
    // user's input goes first. Timer 1 (due at 300) fires late, once, and keeps its phase;
    // timer 2 overran its own tick and next fires a period after its handler returned. At
    // 600 and 900 they tie: the one set first goes first.
    EXPECT_THAT(fired,
                ElementsAre(1002, 5000, 5001, 6001, 6002, 7002, 8002, 9001, 9002, 10002, 11002));
    EXPECT_EQ(base::GetTickCount(), 1150u);  // Escape 650 after the click returned
    EXPECT_EQ(B().MessageBoxes().at(0).tick, 700u);
    EXPECT_TRUE(B().MessageBoxes().at(0).scripted);
    EXPECT_THAT(User().Unused(), ElementsAre("message box \"never shown\""));
    User() = {};
}

// The text metric and the client area are in the wait dialog's flow test; this is where
// controls and windows land.
TEST_P(HeadlessTest, FixedGeometry) {
    RunInProbe([](CProbeDlg& d) {
        CRect button;
        d.GetDlgItem(kButton)->GetWindowRect(&button);
        EXPECT_EQ(button.left, 20 + 4 + 10);  // window + border + control's x
        EXPECT_EQ(button.top, 40 + 28 + 10);  // window + border and caption + control's y
    });
    EXPECT_EQ(B().FindDialog(kProbe)->Control(kList)->rect, (ui::Rect{10, 104, 250, 184}));
    RunInProbe([](CProbeDlg&) {}, kNoClose);  // 200 x 100 units at 0,0
    EXPECT_EQ(B().FindDialog(kNoClose)->window, (ui::Rect{0, 0, 408, 232}));
}

TEST(AppName, FromTheExecutablePath) {
    std::pair<const char*, const char*> cases[] = {
        {"C:\\tools\\netcfg.exe", "netcfg"}, {"/usr/bin/netcfg", "netcfg"},
        {"./netcfg-demo", "netcfg-demo"},    {"my.tool.exe", "my.tool"},
        {"/opt/.hidden", ".hidden"},         {"", ""},
    };
    for (auto [path, name] : cases) EXPECT_EQ(ui::AppNameFromPath(path), name) << path;

    CWinApp app;
    char arg0[] = "/usr/bin/netcfg";
    char* argv[] = {arg0};
    EXPECT_EQ(ui::RunApplication(1, argv), 0);
    EXPECT_STREQ(AfxGetAppName(), "netcfg");
}

}  // namespace
}  // namespace uitest

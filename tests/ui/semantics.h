// The control-semantics suite, run on every UI backend: a backend's test program links
// semantics_test.cpp and instantiates UiSemantics with a factory of its own harness.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/scripted_user.h"
#include "ui/ui.h"

namespace uitest {

// A backend installed for one test, with its driver for the scripted user.
class Harness {
public:
    virtual ~Harness() = default;
    virtual ui::ScriptedUser& User() = 0;
    // Faults the driver recorded (a stuck loop, a step it could not do), cleared.
    virtual std::vector<std::string> TakeErrors() = 0;
};
using HarnessFactory = std::unique_ptr<Harness> (*)();

enum : int {
    kProbe = 900,    // every control kind
    kInner = 901,    // a second dialog to nest
    kNoClose = 902,  // the probe's controls without a system menu
    kButton = 1001,
    kCheck = 1002,
    kEdit = 1003,  // exchanged with m_text, at most 5 characters
    kCombo = 1004,
    kIp = 1005,
    kList = 1006,
    kLabel = 1007,
    kPassword = 1008,
    kUnmapped = 1009,  // a button with no message map entry
    kRangeFirst = 1010,
    kRangeLast = 1012,
    kReadOnly = 1013,
};

void RegisterTestTemplates();

// A dialog that logs every handler and lets a test hook into it.
class CProbeDlg : public CDialog {
public:
    explicit CProbeDlg(int templateId = kProbe, CWnd* parent = nullptr)
        : CDialog(templateId, parent) {}

    CButton m_check;
    CEdit m_edit;
    CComboBox m_combo;
    CIPAddressCtrl m_ip;
    CListCtrl m_list;
    std::string m_text;
    std::string m_secret;
    std::vector<std::string> m_log;
    std::function<void(CProbeDlg&)> m_onInit;
    std::function<void(CProbeDlg&)> m_onButton;
    std::function<void(CProbeDlg&, UINT_PTR)> m_onTimer;
    bool m_eatEnter = false;

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;
    void OnTimer(UINT_PTR id) override;
    void Log(std::string line) { m_log.push_back(std::move(line)); }

private:
    void OnButton();
    void OnCheck();
    void OnRange(UINT id);
    void OnShadowed();
    void OnEditChange();
    void OnSelChange();
    void OnDropDown();
    void OnDblclkList(NMHDR* header, LRESULT* result);
    void OnIpFieldChanged(NMHDR* header, LRESULT* result);

    DECLARE_MESSAGE_MAP()
};

class UiSemantics : public testing::TestWithParam<HarnessFactory> {
protected:
    void SetUp() override;
    void TearDown() override;
    ui::ScriptedUser& User() { return m_harness->User(); }

    CWinApp m_app{"semantics"};
    std::unique_ptr<Harness> m_harness;
};

}  // namespace uitest

// The control-semantics suite, run on every UI backend: a backend's test program links
// semantics_test.cpp and instantiates UiSemantics with a factory of its own harness.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
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
    // Steps the driver refused, as a user would find them refused.
    virtual const std::vector<std::string>& Log() = 0;
};
using HarnessFactory = std::unique_ptr<Harness> (*)();

enum : int {
    kProbe = 900,    // every control kind
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
    explicit CProbeDlg(int templateId = kProbe) : CDialog(templateId) {}

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

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (m_onInit) m_onInit(*this);
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN) Log("key " + std::to_string(msg->wParam));
        return m_eatEnter && msg->wParam == VK_RETURN;
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, kCheck, m_check);
        DDX_Control(pDX, kEdit, m_edit);
        DDX_Control(pDX, kCombo, m_combo);
        DDX_Control(pDX, kIp, m_ip);
        DDX_Control(pDX, kList, m_list);
        DDX_Text(pDX, kEdit, m_text);
        DDV_MaxChars(pDX, m_text, 5);
        DDX_Text(pDX, kPassword, m_secret);
    }
    void OnOK() override {
        Log("OnOK");
        CDialog::OnOK();
    }
    void OnCancel() override {
        Log("OnCancel");
        CDialog::OnCancel();
    }
    void OnTimer(UINT_PTR id) override {
        if (m_onTimer) m_onTimer(*this, id);
    }
    void Log(std::string line) { m_log.push_back(std::move(line)); }

private:
    void OnButton() {
        Log("button");
        if (m_onButton) m_onButton(*this);
    }
    void OnCheck() { Log("check " + std::to_string(m_check.GetCheck())); }
    void OnRange(UINT id) { Log("range " + std::to_string(id)); }
    void OnShadowed() { Log("shadowed"); }
    void OnEditChange() { Log("change " + m_edit.GetWindowText()); }
    void OnSelChange() { Log("sel " + m_combo.GetWindowText()); }
    void OnDropDown() { Log("dropdown"); }
    // The framework ignores a notification's result: these leave it alone.
    void OnDblclkList(NMHDR* header, LRESULT*) {
        Log("dblclk " + std::to_string(reinterpret_cast<NMITEMACTIVATE*>(header)->iItem) +
            " mark " + std::to_string(m_list.GetSelectionMark()));
    }
    void OnIpFieldChanged(NMHDR* header, LRESULT*) {
        auto* ip = reinterpret_cast<NMIPADDRESS*>(header);
        Log("ip " + std::to_string(header->idFrom) + " field " + std::to_string(ip->iField) + "=" +
            std::to_string(ip->iValue) + " " + m_ip.GetWindowText());
    }

    DECLARE_MESSAGE_MAP()
};

// Runs body in a probe dialog's OnInitDialog, then ends the dialog.
inline void RunInProbe(const std::function<void(CProbeDlg&)>& body, int templateId = kProbe) {
    CProbeDlg dlg(templateId);
    dlg.m_onInit = [&](CProbeDlg& d) {
        body(d);
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
}

class UiSemantics : public testing::TestWithParam<HarnessFactory> {
protected:
    void SetUp() override { RegisterTestTemplates(); }
    void TearDown() override {
        EXPECT_THAT(m_harness->TakeErrors(), testing::IsEmpty());
        EXPECT_THAT(User().Unused(), testing::IsEmpty());
    }
    ui::ScriptedUser& User() { return m_harness->User(); }

    CWinApp m_app{"semantics"};
    std::unique_ptr<Harness> m_harness = GetParam()();
};

}  // namespace uitest

// The device list: one labelled entry per device of the last walk, and the selection that
// says which device every command addresses.
#include <cstring>

#include "app/netcfg_dlg.h"
#include "base/fixed_text.h"
#include "protocol/commands.h"
#include "protocol/device_label.h"
#include "protocol/transact.h"
#include "usb/pipe.h"

void ComboAddUnique(CComboBox& combo, const std::string& text) {
    if (text.empty()) return;
    int at = combo.FindStringExact(-1, text);
    while (at != CB_ERR) {
        combo.DeleteString(at);
        at = combo.FindStringExact(at - 1, text);
    }
    combo.InsertString(-1, text);
    combo.SetCurSel(-1);
}

void ComboReset(CComboBox& combo) { combo.ResetContent(); }

std::string CNetCfgDlg::LabelOf(int32_t device) {
    CWaitCursor busy;  // the identity queries block the window
    return CmdDeviceLabel(device, m_idReply) + "\n";
}

bool CNetCfgDlg::RefreshDevices() {
    std::string before = m_selDevice >= 0 ? m_selDevicePath : std::string();
    int n = UsbEnumDevices();
    m_selDevice = -1;
    ComboReset(m_deviceCombo);
    if (n == 0) {
        MessageBox("Device not found!!!");
        return !before.empty();
    }

    std::string labels[USB_MAX_DEVICES];
    m_selDevice = 0;
    for (int i = 0; i < n; ++i) {
        m_devicePath[i] = UsbGetDevicePath(i)->path;  // before the pipe's name is appended
        // Every label ends with a line feed, as the list has always shown them.
        labels[i] = LabelOf(i);
        if (labels[i] == m_selDeviceLabel) m_selDevice = i;
        ComboAddUnique(m_deviceCombo, labels[i]);
    }

    // Equal labels (ignoring case) share one entry, the last device's: map each position
    // to the device behind it, and select the position of the selected device's label.
    int count = m_deviceCombo.GetCount();
    int selected = -1;
    for (int p = 0; p < count && p < USB_MAX_DEVICES; ++p) {
        std::string text = m_deviceCombo.GetLBText(p);
        for (int i = 0; i < n; ++i) {
            if (base::TextEqualNoCase(labels[i].c_str(), text.c_str())) m_listDevice[p] = i;
        }
        if (base::TextEqualNoCase(labels[m_selDevice].c_str(), text.c_str())) selected = p;
    }
    SelectListPosition(selected);
    return m_selDevicePath != before;
}

void CNetCfgDlg::SelectListPosition(int position) {
    if (position < 0 || position >= m_deviceCombo.GetCount()) return;
    m_selDevice = m_listDevice[position];
    m_deviceCombo.SetCurSel(position);
    m_selDeviceLabel = m_deviceCombo.GetLBText(position);
    m_selDevicePath = m_devicePath[m_selDevice];
    // Every command from now on goes to the device the user sees selected.
    CmdChannelInit(CMD_APP_HEADER, CMD_LETTER, m_selDevice);
}

void CNetCfgDlg::SwitchDeviceView() {
    ForgetDeviceView();
    if (m_selDevice >= 0) LoadDeviceView();
}

void CNetCfgDlg::OnDeviceScan() {
    if (RefreshDevices()) SwitchDeviceView();
}

void CNetCfgDlg::OnDeviceDropDown() {
    if (RefreshDevices()) SwitchDeviceView();
}

void CNetCfgDlg::OnDeviceSelChange() {
    int position = m_deviceCombo.GetCurSel();
    if (position < 0) return;
    int32_t before = m_selDevice;
    SelectListPosition(position);
    if (m_selDevice != before) SwitchDeviceView();
}

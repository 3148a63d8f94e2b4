#include "ui/ddx.h"

#include <cstdio>

#include "ui/backend.h"
#include "ui/controls.h"

HWND CDataExchange::PrepareCtrl(int id) {
    ui::Backend* b = ui::GetBackend();
    m_idLastControl = id;
    m_bEditLastControl = false;
    return b && m_pDlgWnd ? b->GetControl(m_pDlgWnd->m_hWnd, id) : 0;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
    HWND hwnd = PrepareCtrl(id);
    m_bEditLastControl = true;
    return hwnd;
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    if (pDX->m_bFailed) return;
    if (HWND hwnd = pDX->PrepareCtrl(id)) control.Bind(hwnd, id, pDX->m_pDlgWnd);
}

void DDX_Text(CDataExchange* pDX, int id, std::string& value) {
    if (pDX->m_bFailed || !pDX->m_pDlgWnd) return;
    CWnd* control = pDX->m_pDlgWnd->GetDlgItem(id);
    pDX->PrepareEditCtrl(id);
    if (!control) return;
    if (pDX->m_bSaveAndValidate) {
        value = control->GetWindowText();
    } else {
        control->SetWindowText(value);
    }
}

void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int maxChars) {
    if (pDX->m_bFailed) return;
    if (pDX->m_bSaveAndValidate && value.size() > static_cast<size_t>(maxChars)) {
        char text[64];
        std::snprintf(text, sizeof text, "Enter no more than %d characters.", maxChars);
        if (pDX->m_pDlgWnd) pDX->m_pDlgWnd->MessageBox(text);
        pDX->Fail();
        return;
    }
    if (!pDX->m_bEditLastControl) return;
    CEdit edit;  // a wrapper for this call only
    edit.m_hWnd = pDX->PrepareEditCtrl(pDX->m_idLastControl);
    edit.SetLimitText(static_cast<UINT>(maxChars));
}

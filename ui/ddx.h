// Data exchange between a dialog's members and its controls, run by UpdateData:
// towards the controls with m_bSaveAndValidate FALSE, from them with TRUE.
#pragma once

#include <string>

#include "ui/wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dlgWnd, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dlgWnd) {}

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    // The control the last DDX call addressed, for the DDV call after it.
    int m_idLastControl = 0;
    bool m_bEditLastControl = false;
    // Set by a refused validation; every later DDX and DDV call of this exchange does
    // nothing, and UpdateData returns FALSE.
    bool m_bFailed = false;

    HWND PrepareCtrl(int id);      // the control's handle, 0 when the dialog has none
    HWND PrepareEditCtrl(int id);  // the same, for a DDV call that limits an edit
    void Fail() { m_bFailed = true; }
};

// Binds `control` to control `id` of the dialog (in either direction). A wrapper keeps its
// binding after the dialog ends, and then does nothing, until the next DDX_Control.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

// The control's text (the selected entry of a drop-down list, the dotted text of an IP
// control) to or from `value`, byte for byte.
void DDX_Text(CDataExchange* pDX, int id, std::string& value);

// After a DDX_Text on an edit. Towards the controls (and after a successful read) it
// limits the edit to maxChars, so longer input cannot be typed. From the controls, a text
// longer than maxChars is refused: the message "Enter no more than N characters." is
// shown, the exchange fails and the rest of it is skipped. `value` then holds the long
// text DDX_Text read; the caller sees FALSE from UpdateData and OnOK keeps the dialog open.
void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int maxChars);

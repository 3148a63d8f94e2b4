// CDialog: a modal dialog built from the template that its id names.
//
// DoModal builds the window, binds the owner, runs OnInitDialog, then the modal loop, and
// returns the value given to EndDialog. Dialogs nest: a handler may run another dialog or
// a message box, and the timers of every open dialog keep firing inside the nested loop
// (a timer handler that shows a message box is entered again by its own next tick, so a
// handler that must not overlap itself guards against that).
// A dialog constructed without a parent is owned by the dialog whose handler (or
// OnInitDialog) runs it, so GetOwner() inside a nested dialog reaches the outer one.
//
// Ends of a dialog: EndDialog; OnOK (Enter, or a button with id IDOK), which first takes
// the data from the controls and stays open when that fails; OnCancel (Escape, the close
// box, a posted WM_CLOSE, a button with id IDCANCEL).
#pragma once

#include "ui/msgmap.h"
#include "ui/wnd.h"

class CDataExchange;

namespace ui {
class DialogBridge;
}

class CDialog : public CWnd {
public:
    explicit CDialog(int templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // -1 when the template is not registered, no backend is installed, the window cannot
    // be built, or this dialog is already running.
    virtual INT_PTR DoModal();
    // Ends the modal run once the handler that calls it returns to the loop.
    void EndDialog(int result);

    // Default: UpdateData(FALSE), so the controls show the members; returns TRUE.
    virtual BOOL OnInitDialog();
    // Runs DoDataExchange towards the controls (FALSE) or from them (TRUE). Returns FALSE
    // when a validation refused the data (the rest of that exchange is skipped) or the
    // dialog is not running.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    // Sees every key message first; returning TRUE consumes it, so a dialog can keep Enter
    // or Escape from reaching OnOK or OnCancel.
    virtual BOOL PreTranslateMessage(MSG* msg);

    int GetTemplateId() const { return m_templateId; }

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();      // UpdateData(TRUE), then EndDialog(IDOK) if it succeeded
    virtual void OnCancel();  // EndDialog(IDCANCEL)
    virtual void OnTimer(UINT_PTR id);
    // For backends that paint; nothing by default.
    virtual void OnPaint();
    virtual HCURSOR OnQueryDragIcon();

    DECLARE_MESSAGE_MAP()

private:
    friend class ui::DialogBridge;
    int m_templateId;
    CWnd* m_pParentWnd;
};

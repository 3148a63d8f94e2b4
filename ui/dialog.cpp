#include "ui/dialog.h"

#include "base/clock.h"
#include "ui/app.h"
#include "ui/backend.h"
#include "ui/ddx.h"
#include "ui/dialog_template.h"

namespace {

// The dialog whose handler (or OnInitDialog) is running: the owner of a dialog that the
// handler runs without naming a parent.
CDialog* g_handlerDialog = nullptr;

class HandlerScope {
public:
    explicit HandlerScope(CDialog* dialog) : m_previous(g_handlerDialog) {
        g_handlerDialog = dialog;
    }
    ~HandlerScope() { g_handlerDialog = m_previous; }
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;

private:
    CDialog* m_previous;
};

}  // namespace

namespace ui {

// Turns what the backend reports into the dialog's virtual calls and message map.
class DialogBridge final : public DialogEvents {
public:
    explicit DialogBridge(CDialog& dialog) : m_dialog(dialog) {}

    void OnNotify(int id, unsigned code, int detail) override {
        HandlerScope scope(&m_dialog);
        Backend* b = GetBackend();
        NMHDR header{b ? b->GetControl(m_dialog.m_hWnd, id) : 0, static_cast<UINT_PTR>(id), code};
        NMIPADDRESS ip{header, detail, -1};
        NMITEMACTIVATE activate{header, detail, 0};
        NMHDR* sent = &header;
        if (code == IPN_FIELDCHANGED) {
            if (b) ip.iValue = b->IpGetField(header.hwndFrom, detail);
            sent = &ip.hdr;
        } else if (code == NM_DBLCLK) {
            sent = &activate.hdr;
        }
        DispatchNotification(m_dialog, m_dialog.GetMessageMap(), code, id, sent);
    }

    bool OnKeyDown(unsigned vk) override {
        HandlerScope scope(&m_dialog);
        MSG msg{m_dialog.m_hWnd, WM_KEYDOWN, vk, 0, base::GetTickCount()};
        if (m_dialog.PreTranslateMessage(&msg)) return true;
        if (vk == VK_F1) {
            // The help command: the dialog's map may take it, else the application's.
            NMHDR header{m_dialog.m_hWnd, static_cast<UINT_PTR>(ID_HELP), 0};
            CWinApp* app = AfxGetApp();
            if (!DispatchNotification(m_dialog, m_dialog.GetMessageMap(), 0, ID_HELP, &header) &&
                app)
                DispatchNotification(*app, app->GetMessageMap(), 0, ID_HELP, &header);
            return true;
        }
        // As on Windows, the keys become the commands IDOK and IDCANCEL, which the
        // dialog's map routes (to OnOK and OnCancel unless a derived map says otherwise).
        if (vk != VK_RETURN && vk != VK_ESCAPE) return false;
        int id = vk == VK_RETURN ? IDOK : IDCANCEL;
        NMHDR header{m_dialog.m_hWnd, static_cast<UINT_PTR>(id), BN_CLICKED};
        DispatchNotification(m_dialog, m_dialog.GetMessageMap(), BN_CLICKED, id, &header);
        return true;
    }

    void OnMessage(unsigned msg, uintptr_t wParam, intptr_t) override {
        HandlerScope scope(&m_dialog);
        if (msg == WM_CLOSE) m_dialog.OnCancel();
        if (msg == WM_TIMER) m_dialog.OnTimer(wParam);
        if (msg == WM_KEYDOWN) OnKeyDown(static_cast<unsigned>(wParam));
        if (msg == WM_PAINT) m_dialog.OnPaint();
    }

    void OnTimer(uintptr_t id) override {
        HandlerScope scope(&m_dialog);
        m_dialog.OnTimer(id);
    }

    void OnPaint() override {
        HandlerScope scope(&m_dialog);
        m_dialog.OnPaint();
    }

    int OnQueryDragIcon() override {
        HandlerScope scope(&m_dialog);
        return IconId(m_dialog.OnQueryDragIcon());
    }

private:
    CDialog& m_dialog;
};

}  // namespace ui

CDialog::CDialog(int templateId, CWnd* parent) : m_templateId(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() = default;

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_BN_CLICKED(IDOK, &CDialog::OnOK)
ON_BN_CLICKED(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

INT_PTR CDialog::DoModal() {
    ui::Backend* b = ui::GetBackend();
    const ui::DialogTemplate* tmpl = ui::FindDialogTemplate(m_templateId);
    if (!b || !tmpl || m_hWnd) return -1;
    CWnd* owner = m_pParentWnd ? m_pParentWnd : g_handlerDialog;
    ui::DialogBridge bridge(*this);
    HWND hwnd = b->CreateDialogWindow(*tmpl, owner ? owner->m_hWnd : 0, bridge);
    if (!hwnd) return -1;
    Bind(hwnd, 0, owner);
    {
        HandlerScope scope(this);
        OnInitDialog();
    }
    // RunModal returns at once with the EndDialog value when OnInitDialog ended the dialog.
    int result = b->RunModal(hwnd);
    b->DestroyDialog(hwnd);
    Unbind();
    return result;
}

void CDialog::EndDialog(int result) {
    if (ui::Backend* b = ui::GetBackend()) b->EndModal(m_hWnd, result);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    if (!m_hWnd) return FALSE;
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return !dx.m_bFailed;
}

BOOL CDialog::PreTranslateMessage(MSG*) { return FALSE; }

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::OnTimer(UINT_PTR) {}

void CDialog::OnPaint() {}

HCURSOR CDialog::OnQueryDragIcon() { return nullptr; }

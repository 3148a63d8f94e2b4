#include "app/resource.h"
#include "base/fixed_text.h"
#include "settings/ap_dialogs.h"
#include "ui/ddx.h"

BEGIN_MESSAGE_MAP(CApPasswordDlg, CDialog)
ON_BN_CLICKED(IDC_CONNECT, &CApPasswordDlg::OnConnect)
ON_EN_CHANGE(IDC_PASSWORD, &CApPasswordDlg::OnChangePassword)
ON_BN_CLICKED(IDC_DELETE, &CApPasswordDlg::OnDelete)
END_MESSAGE_MAP()

CApPasswordDlg::CApPasswordDlg(CWnd* parent) : CDialog(IDD_AP_PASSWORD, parent) {}

CApPasswordDlg::~CApPasswordDlg() = default;

void CApPasswordDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PASSWORD, m_password);
    DDV_MaxChars(pDX, m_password, static_cast<int>(WIFI_PASSWORD_MAX));
}

BOOL CApPasswordDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_password.clear();
    m_connect = 0;
    m_delete = 0;

    int32_t flags = 0;
    const char* name = "";
    if (auto* list = dynamic_cast<CApListDlg*>(GetOwner())) {
        if (list->m_selRow >= 0 && list->m_selRow < SCAN_MAX_ROWS)
            flags = list->m_rowFlags[list->m_selRow];
        name = list->m_selName;
    }
    bool connected = flags & AP_CONNECTED;
    bool hasProfile = flags & AP_HAS_PROFILE;
    bool asksPassword = !hasProfile && !(flags & AP_NO_PASSWORD);

    GetDlgItem(IDC_CONNECT)->EnableWindow(!connected);
    if (!hasProfile) GetDlgItem(IDC_DELETE)->ShowWindow(SW_HIDE);
    if (asksPassword) {
        GetDlgItem(IDC_PASSWORD_MSG)->ShowWindow(SW_HIDE);
    } else {
        GetDlgItem(IDC_PASSWORD_LABEL)->ShowWindow(SW_HIDE);
        GetDlgItem(IDC_PASSWORD)->ShowWindow(SW_HIDE);
    }

    // The name is device text: it only ever fills a %s.
    char message[256];
    const char* title;
    if (!connected) {
        title = "Connect";
        base::TextFormat(message, sizeof message, "Connect to '%s'", name);
    } else if (hasProfile) {
        title = "Delete";
        base::TextFormat(message, sizeof message, "Delete Profile of '%s'", name);
    } else {
        title = "Current";
        base::TextFormat(message, sizeof message, "Current Connected: '%s'", name);
    }
    SetWindowText(title);
    GetDlgItem(IDC_PASSWORD_MSG)->SetWindowText(message);

    UpdateData(FALSE);
    return TRUE;
}

BOOL CApPasswordDlg::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

void CApPasswordDlg::OnChangePassword() { UpdateData(TRUE); }

void CApPasswordDlg::OnConnect() {
    m_connect = 1;
    PostMessage(WM_CLOSE);
}

void CApPasswordDlg::OnDelete() {
    m_delete = 1;
    PostMessage(WM_CLOSE);
}

#include <cstring>

#include "app/resource.h"
#include "base/fixed_text.h"
#include "settings/ap_dialogs.h"
#include "ui/ddx.h"

BEGIN_MESSAGE_MAP(CApListDlg, CDialog)
ON_NOTIFY(NM_DBLCLK, IDC_AP_LIST, &CApListDlg::OnDblclkList)
END_MESSAGE_MAP()

CApListDlg::CApListDlg(CWnd* parent) : CDialog(IDD_AP_LIST, parent) {}

CApListDlg::~CApListDlg() = default;

void CApListDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_AP_LIST, m_list);
}

bool CApListDlg::Keep(const uint8_t* payload, size_t n) {
    ScanTable table;
    if (!ParseScanReply(payload, n, &table)) return false;
    size_t kept = static_cast<size_t>(ScanKeptLength(payload, n));
    m_scanReply = std::make_unique<uint8_t[]>(kept);
    std::memcpy(m_scanReply.get(), payload, kept);
    m_scanReplyLen = kept;
    return true;
}

void CApListDlg::Forget() {
    m_scanReply.reset();
    m_scanReplyLen = 0;
}

BOOL CApListDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    FillList();
    return TRUE;
}

void CApListDlg::FillList() {
    m_list.InsertColumn(0, " ", LVCFMT_CENTER, 15);
    m_list.SetExtendedStyle(0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    std::memset(m_rowFlags, 0, sizeof m_rowFlags);

    // Before any scan succeeded there is nothing but the flag column to show.
    ScanTable table;
    if (!m_scanReply || !ParseScanReply(m_scanReply.get(), m_scanReplyLen, &table)) return;
    for (int32_t k = 1; k <= table.columns; ++k) {
        m_list.InsertColumn(k, std::string(table.titles[k - 1]), LVCFMT_CENTER,
                            10 * table.widths[k - 1]);
    }
    for (int32_t r = 0; r < table.rows; ++r) {
        m_rowFlags[r] = ScanRowFlags(table, r);
        ListSetCellText(m_list, r, 0, (m_rowFlags[r] & AP_CONNECTED) ? "*" : " ");
        // The cells go in as the bytes received: a UTF-8 name comes back unchanged.
        for (int32_t j = 1; j <= table.columns; ++j)
            ListSetCellText(m_list, r, j, std::string(table.Cell(r, j)));
    }
}

void CApListDlg::ListSetCellText(CListCtrl& list, int row, int col, const std::string& text) {
    if (col == 0)
        list.InsertItem(row, text);
    else
        list.SetItemText(row, col, text);
}

char* CApListDlg::ListGetCellText(CListCtrl& list, int row, int col, char* buffer, int size) {
    list.GetItemText(row, col, buffer, size);
    return buffer;
}

void CApListDlg::OnDblclkList(NMHDR*, LRESULT* pResult) {
    *pResult = 0;
    auto* owner = dynamic_cast<CApChoiceOwner*>(GetOwner());
    int32_t row = m_list.GetSelectionMark();
    // A double-click on blank space before any row was picked chooses nothing.
    if (row < 0 || row >= m_list.GetItemCount() || row >= SCAN_MAX_ROWS) return;
    m_selRow = row;
    ListGetCellText(m_list, m_selRow, SCAN_NAME_COLUMN, m_selName, sizeof m_selName);
    // The device takes the name back exactly as it sent it; one that does not fit the
    // 63 bytes the connect and delete commands carry is refused rather than cut.
    if (std::strlen(m_selName) >= WIFI_NAME_CAPACITY) {
        MessageBox("SSID name too long!!!");
        return;
    }
    m_pwdDlg.DoModal();
    if (owner) {
        owner->TakeApChoice(m_pwdDlg.m_connect, m_pwdDlg.m_delete, m_rowFlags[m_selRow], m_selName,
                            m_pwdDlg.m_password.c_str());
    }
    PostMessage(WM_CLOSE);
}

#include "app/wait_dlg.h"

#include <algorithm>
#include "app/resource.h"

#include "base/clock.h"
#include "base/fixed_text.h"
#include "ui/ddx.h"

BEGIN_MESSAGE_MAP(CWaitDlg, CDialog)
END_MESSAGE_MAP()

CWaitDlg::CWaitDlg(CWnd* parent) : CDialog(IDD_WAIT, parent) {}

CWaitDlg::~CWaitDlg() = default;

void CWaitDlg::SetRequest(const WaitRequest& request) {
    m_owner = request.owner;
    m_pollFn = request.pollFn;
    m_message = request.message;
    m_totalMs = request.totalMs;
    m_pollMs = request.pollMs;
}

void CWaitDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_WAIT_TEXT, m_text);
}

BOOL CWaitDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_seconds = 0;
    m_openedAt = base::GetTickCount();
    m_text = m_message;
    int width = TextWidth(this, " 0000") + TextWidth(this, m_text) + 30;
    ResizeClient(this, width, 0);
    UpdateData(FALSE);
    SetTimer(WAIT_POLL_TIMER, static_cast<UINT>(m_pollMs));
    SetTimer(WAIT_SECOND_TIMER, 1000);
    return TRUE;
}

void CWaitDlg::OnTimer(UINT_PTR id) {
    if (id == WAIT_POLL_TIMER) {
        if (m_pollFn && m_pollFn(m_owner)) PostMessage(WM_CLOSE);
    } else if (id == WAIT_SECOND_TIMER) {
        // Ticks do not pile up while a poll blocks: count the seconds the clock says have
        // passed, so that the total time-out is the total, however long each poll takes.
        uint32_t elapsed = (base::GetTickCount() - m_openedAt) / 1000;
        m_seconds =
            std::max(m_seconds + 1, static_cast<int32_t>(std::min<uint32_t>(elapsed, 1u << 30)));
        if (static_cast<uint32_t>(m_seconds) * 1000u > static_cast<uint32_t>(m_totalMs)) {
            PostMessage(WM_CLOSE);
        } else {
            char text[512];
            base::TextFormat(text, sizeof text, "%s %d", m_message.c_str(), m_seconds);
            m_text = text;
            UpdateData(FALSE);
        }
    }
    CDialog::OnTimer(id);
}

int TextWidth(CWnd* wnd, const std::string& text) { return wnd->GetTextExtent(text).cx; }

void ResizeClient(CWnd* wnd, int width, int height) {
    RECT window, client;
    wnd->GetWindowRect(&window);
    wnd->GetClientRect(&client);
    int clientWidth = client.right - client.left;
    int clientHeight = client.bottom - client.top;
    if (width == 0) width = clientWidth;
    if (height == 0) height = clientHeight;
    wnd->SetWindowPos(nullptr, 0, 0, (window.right - window.left) - clientWidth + width,
                      (window.bottom - window.top) - clientHeight + height,
                      SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The modal wait after a change: shows a message with a running count of seconds, calls a
// poll function every pollMs, and closes when it reports the work finished, when the total
// time-out has passed, or when the user dismisses it (Enter or Escape).
#pragma once

#include <cstdint>
#include <string>

#include "ui/dialog.h"

// Nonzero: finished, close the wait.
using WaitPollFn = int32_t (*)(void* owner);

struct WaitRequest {
    void* owner = nullptr;
    WaitPollFn pollFn = nullptr;
    std::string message;
    int32_t totalMs = 0;
    int32_t pollMs = 0;
};

inline constexpr UINT_PTR WAIT_POLL_TIMER = 1;
inline constexpr UINT_PTR WAIT_SECOND_TIMER = 2;

class CWaitDlg : public CDialog {
public:
    explicit CWaitDlg(CWnd* parent = nullptr);
    ~CWaitDlg() override;

    void SetRequest(const WaitRequest& request);
    BOOL OnInitDialog() override;

    std::string m_text;  // what static 1035 shows
    void* m_owner = nullptr;
    WaitPollFn m_pollFn = nullptr;
    std::string m_message;
    int32_t m_totalMs = 0;
    int32_t m_pollMs = 0;
    int32_t m_seconds = 0;
    uint32_t m_openedAt = 0;  // tick count when the dialog opened

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnTimer(UINT_PTR id) override;

    DECLARE_MESSAGE_MAP()
};

// Width in pixels of text drawn in the window's font.
int TextWidth(CWnd* wnd, const std::string& text);

// Makes the window's client area width by height pixels; 0 keeps that dimension.
void ResizeClient(CWnd* wnd, int width, int height);

// The wireless network list (the device's last scan, one row per network) and the
// password dialog that a double-click on a network opens.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "settings/scan_reply.h"
#include "settings/wifi_text.h"
#include "ui/controls.h"
#include "ui/dialog.h"

// What the user chose for a network; the window that runs the list takes it.
class CApChoiceOwner {
public:
    virtual void TakeApChoice(uint8_t connect, uint8_t del, int32_t rowFlags, const char* name,
                              const char* password) = 0;

protected:
    ~CApChoiceOwner() = default;
};

class CApPasswordDlg : public CDialog {
public:
    explicit CApPasswordDlg(CWnd* parent = nullptr);
    ~CApPasswordDlg() override;

    std::string m_password;  // always the edit's text: the dialog closes without a transfer
    uint8_t m_connect = 0;
    uint8_t m_delete = 0;

    BOOL PreTranslateMessage(MSG* msg) override;  // Enter does nothing here
    BOOL OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnConnect();
    void OnChangePassword();
    void OnDelete();

    DECLARE_MESSAGE_MAP()
};

class CApListDlg : public CDialog {
public:
    explicit CApListDlg(CWnd* parent = nullptr);
    ~CApListDlg() override;

    // The kept scan reply (its first L + 20 bytes); null until a scan succeeded.
    std::unique_ptr<uint8_t[]> m_scanReply;
    size_t m_scanReplyLen = 0;
    CApPasswordDlg m_pwdDlg;
    int32_t m_selRow = -1;
    char m_selName[128] = {};
    int32_t m_rowFlags[SCAN_MAX_ROWS] = {};
    CListCtrl m_list;

    // Keeps a copy of a scan reply of n payload bytes, replacing the previous one. A reply
    // outside the format is refused and the previous copy stays.
    bool Keep(const uint8_t* payload, size_t n);
    // Drops the kept reply: the list then shows no networks until the next scan.
    void Forget();

    BOOL OnInitDialog() override;
    void FillList();

    // Puts a text into the list: column 0 inserts row `row`, other columns set its cell.
    static void ListSetCellText(CListCtrl& list, int row, int col, const std::string& text);
    static char* ListGetCellText(CListCtrl& list, int row, int col, char* buffer, int size);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnDblclkList(NMHDR* pNMHDR, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()
};

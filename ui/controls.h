// Wrappers of the controls of a dialog, bound with DDX_Control. Each holds only the
// control's handle; used while unbound, after the dialog ended, or on a control of another
// kind, every call does nothing and returns the documented default (0, -1/CB_ERR, empty).
// The semantics below are the framework's and hold on every backend.
#pragma once

#include <string>

#include "ui/wnd.h"

// Push buttons and automatic check boxes. A check box toggles itself on a click, before
// the dialog sees BN_CLICKED; SetCheck from code does not notify.
class CButton : public CWnd {
public:
    int GetCheck() const;  // BST_CHECKED or BST_UNCHECKED; 0 for a push button
    void SetCheck(int check);
};

class CStatic : public CWnd {};

// An edit field. The limit bounds what the user can type (in bytes); text set from code
// may be longer. A read-only edit refuses typing; a password edit masks only its display,
// GetWindowText returns the real text. Changes typed by the user report EN_CHANGE, one
// per change; SetWindowText does not.
class CEdit : public CWnd {
public:
    void SetLimitText(UINT maxChars);  // 0 means the largest limit, 0x7FFFFFFE
    UINT GetLimitText() const;         // 30000 until set, as on Windows
};

// A drop-down list (no edit field). Entries stay where they are put: AddString appends and
// the template's sort style never reorders them. Positions count from 0; no selection is
// -1 (CB_ERR). The selection stays on its entry when entries are inserted or deleted
// before it, and becomes none when its own entry is deleted. GetWindowText gives the
// selected entry's text, empty when none is selected. No call here notifies.
class CComboBox : public CWnd {
public:
    int GetCount() const;
    int GetCurSel() const;
    // Selects entry `index`; out of range (or -1) selects nothing and returns CB_ERR.
    int SetCurSel(int index);
    int AddString(const std::string& text);  // appends; returns the position
    // Inserts at `index` (-1 = at the end); returns the position, CB_ERR when index is
    // past the end.
    int InsertString(int index, const std::string& text);
    int DeleteString(int index);  // returns the entries left, CB_ERR when out of range
    void ResetContent();
    int GetLBText(int index, std::string& text) const;  // length; CB_ERR (text emptied)
    std::string GetLBText(int index) const;
    int GetLBTextLen(int index) const;
    // The first entry equal to `text` ignoring ASCII letter case (other bytes compare
    // exactly), searching from the entry after `startAfter` to the end and then from the
    // top up to and including `startAfter`. A startAfter of -1 (or past the end) searches
    // the whole list from the top. CB_ERR when none matches.
    int FindStringExact(int startAfter, const std::string& text) const;
};

// An IPv4 address control with four fields, each 0..255 or blank.
// GetWindowText always gives four decimal fields joined by dots, a blank field reading as
// 0: a blank control gives "0.0.0.0", one with only "10" in its first field "10.0.0.0".
// SetWindowText reads up to four dot-separated fields: a field's leading decimal digits
// give its value (above 255 becomes 255), a field without digits or a missing field is
// blank, and text after the fourth field is ignored; so "" blanks the control.
// The user's change of a field reports IPN_FIELDCHANGED (NMIPADDRESS: field, new value or
// -1 for blank), one per changed field; setting from code does not.
class CIPAddressCtrl : public CWnd {
public:
    int GetAddress(BYTE& f0, BYTE& f1, BYTE& f2, BYTE& f3) const;  // non-blank fields
    void SetAddress(BYTE f0, BYTE f1, BYTE f2, BYTE f3);
    void ClearAddress();
    BOOL IsBlank() const;
};

// A list view in report mode. Rows and columns count from 0; cell (row, 0) is the item's
// own text. Nothing sorts: a row stays where InsertItem put it. The selection mark is the
// row the user clicked last (-1 for none); it stays on its row when rows are inserted
// before it and is cleared by DeleteAllItems.
class CListCtrl : public CWnd {
public:
    // Inserts a column at `col` (past the end = appended); a negative width means the
    // heading's text width plus 12 pixels. Returns the position, -1 on failure.
    int InsertColumn(int col, const std::string& heading, int format = LVCFMT_LEFT, int width = -1);
    int GetColumnCount() const;
    std::string GetColumnHeading(int col) const;
    int GetColumnFormat(int col) const;  // -1 for no such column
    int GetColumnWidth(int col) const;   // 0 for no such column

    // Inserts a row at `row` (past the end = appended) with `text` in column 0. Returns
    // the position, -1 when row is negative.
    int InsertItem(int row, const std::string& text);
    int GetItemCount() const;
    // Column must exist (column 0 always does); FALSE otherwise.
    BOOL SetItemText(int row, int col, const std::string& text);
    std::string GetItemText(int row, int col) const;
    // Copies at most size-1 bytes and a terminator; returns the bytes copied.
    int GetItemText(int row, int col, char* buffer, int size) const;
    BOOL DeleteAllItems();

    DWORD GetExtendedStyle() const;
    // Mask 0 semantics: the new value replaces every extended style. Returns the previous.
    DWORD SetExtendedStyle(DWORD style);
    // Changes only the bits in `mask` (0 = all, as above). Returns the previous.
    DWORD SetExtendedStyle(DWORD mask, DWORD style);

    int GetSelectionMark() const;
    int SetSelectionMark(int row);  // returns the previous mark; -1 clears it
};

namespace ui {

// The dotted text of the four fields (-1 = blank, read as 0), and its reverse, as
// CIPAddressCtrl describes.
std::string FormatIpText(const int fields[4]);
void ParseIpText(const std::string& text, int fields[4]);

}  // namespace ui

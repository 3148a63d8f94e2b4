#include "ui/controls.h"

#include <cstring>

#include "ui/backend.h"

using ui::Backend;
using ui::WindowKind;

namespace {

// The backend, when `wnd` is bound to a live control of that kind; else null, and the
// wrapper answers with its default.
Backend* For(const CWnd& wnd, WindowKind kind) {
    Backend* b = ui::GetBackend();
    return b && b->Kind(wnd.m_hWnd) == kind ? b : nullptr;
}

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

constexpr UINT kLargestEditLimit = 0x7FFFFFFE;

}  // namespace

namespace ui {

std::string FormatIpText(const int fields[4]) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        if (i) text += '.';
        text += std::to_string(fields[i] < 0 ? 0 : fields[i]);
    }
    return text;
}

void ParseIpText(const std::string& text, int fields[4]) {
    size_t pos = 0;
    for (int i = 0; i < 4; ++i) {
        fields[i] = -1;
        if (pos > text.size()) continue;  // fewer than four fields: the rest are blank
        size_t end = text.find('.', pos);
        if (end == std::string::npos) end = text.size();
        int value = -1;
        for (size_t k = pos; k < end && text[k] >= '0' && text[k] <= '9'; ++k) {
            value = (value < 0 ? 0 : value) * 10 + (text[k] - '0');
            if (value > 255) value = 255;
        }
        fields[i] = value;
        pos = end + 1;
    }
}

}  // namespace ui

// --- CButton ---

int CButton::GetCheck() const {
    Backend* b = For(*this, WindowKind::CheckBox);
    return b ? b->GetCheck(m_hWnd) : BST_UNCHECKED;
}

void CButton::SetCheck(int check) {
    if (Backend* b = For(*this, WindowKind::CheckBox)) {
        b->SetCheck(m_hWnd, check == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED);
    }
}

// --- CEdit ---

void CEdit::SetLimitText(UINT maxChars) {
    if (Backend* b = For(*this, WindowKind::Edit)) {
        b->SetEditLimit(m_hWnd, maxChars ? maxChars : kLargestEditLimit);
    }
}

UINT CEdit::GetLimitText() const {
    Backend* b = For(*this, WindowKind::Edit);
    return b ? static_cast<UINT>(b->GetEditLimit(m_hWnd)) : 0;
}

// --- CComboBox ---

int CComboBox::GetCount() const {
    Backend* b = For(*this, WindowKind::ComboDropList);
    return b ? b->ComboCount(m_hWnd) : 0;
}

int CComboBox::GetCurSel() const {
    Backend* b = For(*this, WindowKind::ComboDropList);
    int sel = b ? b->ComboGetSel(m_hWnd) : CB_ERR;
    return sel >= 0 && sel < GetCount() ? sel : CB_ERR;
}

int CComboBox::SetCurSel(int index) {
    Backend* b = For(*this, WindowKind::ComboDropList);
    if (!b) return CB_ERR;
    bool inRange = index >= 0 && index < b->ComboCount(m_hWnd);
    b->ComboSetSel(m_hWnd, inRange ? index : -1);
    return inRange ? index : CB_ERR;
}

int CComboBox::AddString(const std::string& text) { return InsertString(-1, text); }

int CComboBox::InsertString(int index, const std::string& text) {
    Backend* b = For(*this, WindowKind::ComboDropList);
    if (!b) return CB_ERR;
    int count = b->ComboCount(m_hWnd);
    if (index == -1) index = count;
    if (index < 0 || index > count) return CB_ERR;
    int sel = GetCurSel();
    b->ComboInsert(m_hWnd, index, text);
    // The selection follows its entry, whatever the backend's list did with it.
    b->ComboSetSel(m_hWnd, sel >= index ? sel + 1 : sel);
    return index;
}

int CComboBox::DeleteString(int index) {
    Backend* b = For(*this, WindowKind::ComboDropList);
    if (!b || index < 0 || index >= b->ComboCount(m_hWnd)) return CB_ERR;
    int sel = GetCurSel();
    b->ComboDelete(m_hWnd, index);
    b->ComboSetSel(m_hWnd, sel == index ? -1 : sel > index ? sel - 1 : sel);
    return b->ComboCount(m_hWnd);
}

void CComboBox::ResetContent() {
    Backend* b = For(*this, WindowKind::ComboDropList);
    if (!b) return;
    for (int i = b->ComboCount(m_hWnd); i > 0; --i) b->ComboDelete(m_hWnd, i - 1);
    b->ComboSetSel(m_hWnd, -1);
}

int CComboBox::GetLBText(int index, std::string& text) const {
    Backend* b = For(*this, WindowKind::ComboDropList);
    text.clear();
    if (!b || index < 0 || index >= b->ComboCount(m_hWnd)) return CB_ERR;
    text = b->ComboText(m_hWnd, index);
    return static_cast<int>(text.size());
}

std::string CComboBox::GetLBText(int index) const {
    std::string text;
    GetLBText(index, text);
    return text;
}

int CComboBox::GetLBTextLen(int index) const {
    std::string text;
    return GetLBText(index, text);
}

int CComboBox::FindStringExact(int startAfter, const std::string& text) const {
    Backend* b = For(*this, WindowKind::ComboDropList);
    if (!b) return CB_ERR;
    int count = b->ComboCount(m_hWnd);
    if (startAfter < 0 || startAfter >= count) startAfter = -1;
    // One full turn: the entries after startAfter, then from the top up to startAfter.
    for (int n = 1; n <= count; ++n) {
        int i = (startAfter + n) % count;
        if (EqualIgnoringAsciiCase(b->ComboText(m_hWnd, i), text)) return i;
    }
    return CB_ERR;
}

// --- CIPAddressCtrl ---

int CIPAddressCtrl::GetAddress(BYTE& f0, BYTE& f1, BYTE& f2, BYTE& f3) const {
    Backend* b = For(*this, WindowKind::IpAddress);
    BYTE* out[4] = {&f0, &f1, &f2, &f3};
    int filled = 0;
    for (int i = 0; i < 4; ++i) {
        int v = b ? b->IpGetField(m_hWnd, i) : -1;
        *out[i] = static_cast<BYTE>(v < 0 ? 0 : v);
        filled += v >= 0;
    }
    return filled;
}

void CIPAddressCtrl::SetAddress(BYTE f0, BYTE f1, BYTE f2, BYTE f3) {
    if (Backend* b = For(*this, WindowKind::IpAddress)) {
        BYTE in[4] = {f0, f1, f2, f3};
        for (int i = 0; i < 4; ++i) b->IpSetField(m_hWnd, i, in[i]);
    }
}

void CIPAddressCtrl::ClearAddress() {
    if (Backend* b = For(*this, WindowKind::IpAddress)) {
        for (int i = 0; i < 4; ++i) b->IpSetField(m_hWnd, i, -1);
    }
}

BOOL CIPAddressCtrl::IsBlank() const {
    BYTE f[4];
    return GetAddress(f[0], f[1], f[2], f[3]) == 0;
}

// --- CListCtrl ---

int CListCtrl::InsertColumn(int col, const std::string& heading, int format, int width) {
    Backend* b = For(*this, WindowKind::ListReport);
    if (!b || col < 0) return -1;
    int count = b->ListColumnCount(m_hWnd);
    if (col > count) col = count;
    if (width < 0) width = b->TextExtent(m_hWnd, heading).cx + 12;
    b->ListInsertColumn(m_hWnd, col, ui::ListColumn{heading, format, width});
    return col;
}

int CListCtrl::GetColumnCount() const {
    Backend* b = For(*this, WindowKind::ListReport);
    return b ? b->ListColumnCount(m_hWnd) : 0;
}

std::string CListCtrl::GetColumnHeading(int col) const {
    Backend* b = For(*this, WindowKind::ListReport);
    return b && col >= 0 && col < GetColumnCount() ? b->ListGetColumn(m_hWnd, col).heading : "";
}

int CListCtrl::GetColumnFormat(int col) const {
    Backend* b = For(*this, WindowKind::ListReport);
    return b && col >= 0 && col < GetColumnCount() ? b->ListGetColumn(m_hWnd, col).format : -1;
}

int CListCtrl::GetColumnWidth(int col) const {
    Backend* b = For(*this, WindowKind::ListReport);
    return b && col >= 0 && col < GetColumnCount() ? b->ListGetColumn(m_hWnd, col).width : 0;
}

int CListCtrl::InsertItem(int row, const std::string& text) {
    Backend* b = For(*this, WindowKind::ListReport);
    if (!b || row < 0) return -1;
    int count = b->ListItemCount(m_hWnd);
    if (row > count) row = count;
    int mark = GetSelectionMark();
    b->ListInsertItem(m_hWnd, row, text);
    if (mark >= row) b->ListSetSelectionMark(m_hWnd, mark + 1);
    return row;
}

int CListCtrl::GetItemCount() const {
    Backend* b = For(*this, WindowKind::ListReport);
    return b ? b->ListItemCount(m_hWnd) : 0;
}

BOOL CListCtrl::SetItemText(int row, int col, const std::string& text) {
    Backend* b = For(*this, WindowKind::ListReport);
    if (!b || row < 0 || row >= GetItemCount() || col < 0) return FALSE;
    if (col > 0 && col >= GetColumnCount()) return FALSE;
    b->ListSetItemText(m_hWnd, row, col, text);
    return TRUE;
}

std::string CListCtrl::GetItemText(int row, int col) const {
    Backend* b = For(*this, WindowKind::ListReport);
    if (!b || row < 0 || row >= GetItemCount() || col < 0) return {};
    if (col > 0 && col >= GetColumnCount()) return {};
    return b->ListGetItemText(m_hWnd, row, col);
}

int CListCtrl::GetItemText(int row, int col, char* buffer, int size) const {
    if (!buffer || size <= 0) return 0;
    std::string text = GetItemText(row, col);
    size_t n =
        text.size() < static_cast<size_t>(size) ? text.size() : static_cast<size_t>(size) - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

BOOL CListCtrl::DeleteAllItems() {
    Backend* b = For(*this, WindowKind::ListReport);
    if (!b) return FALSE;
    b->ListDeleteAllItems(m_hWnd);
    b->ListSetSelectionMark(m_hWnd, -1);
    return TRUE;
}

DWORD CListCtrl::GetExtendedStyle() const {
    Backend* b = For(*this, WindowKind::ListReport);
    return b ? b->ListGetExtendedStyle(m_hWnd) : 0;
}

DWORD CListCtrl::SetExtendedStyle(DWORD style) { return SetExtendedStyle(0, style); }

DWORD CListCtrl::SetExtendedStyle(DWORD mask, DWORD style) {
    Backend* b = For(*this, WindowKind::ListReport);
    if (!b) return 0;
    DWORD previous = b->ListGetExtendedStyle(m_hWnd);
    if (mask == 0) mask = ~DWORD{0};
    b->ListSetExtendedStyle(m_hWnd, (previous & ~mask) | (style & mask));
    return previous;
}

int CListCtrl::GetSelectionMark() const {
    Backend* b = For(*this, WindowKind::ListReport);
    int mark = b ? b->ListGetSelectionMark(m_hWnd) : -1;
    return mark >= 0 && mark < GetItemCount() ? mark : -1;
}

int CListCtrl::SetSelectionMark(int row) {
    Backend* b = For(*this, WindowKind::ListReport);
    if (!b) return -1;
    int previous = GetSelectionMark();
    b->ListSetSelectionMark(m_hWnd, row >= 0 && row < GetItemCount() ? row : -1);
    return previous;
}

#include "ui/wx/ip_ctrl.h"

#include <wx/settings.h>
#include <wx/stattext.h>

namespace ui::wx {
namespace {

int ValueOf(const wxString& text) {
    int value = -1;
    for (wxUniChar c : text) {
        if (c < '0' || c > '9') continue;
        value = (value < 0 ? 0 : value) * 10 + static_cast<int>(c.GetValue() - '0');
        if (value > 255) value = 255;
    }
    return value;
}

bool OnlyDigits(const wxString& text) {
    for (wxUniChar c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

}  // namespace

IpAddressCtrl::IpAddressCtrl(wxWindow* parent, const wxPoint& pos, const wxSize& size)
    : wxPanel(parent, wxID_ANY, pos, size, wxBORDER_THEME | wxTAB_TRAVERSAL) {
    // One white box like an edit field; the fields themselves have no border.
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW));
    for (int i = 0; i < 4; ++i) {
        auto* field = new wxTextCtrl(this, wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                                     wxBORDER_NONE | wxTE_CENTRE);
        field->SetMaxLength(3);
        field->Bind(wxEVT_CHAR, [this, i](wxKeyEvent& e) { OnChar(i, e); });
        // A selection left painted would look like a second focus.
        field->Bind(wxEVT_KILL_FOCUS, [field](wxFocusEvent& e) {
            field->SelectNone();
            e.Skip();
        });
        field->Bind(wxEVT_TEXT, [this, i](wxCommandEvent&) { OnText(i); });
        m_fields[i] = field;
    }
    for (int i = 0; i < 3; ++i) new wxStaticText(this, wxID_ANY, ".");
    PlaceFields(GetClientSize());
    Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        PlaceFields(GetClientSize());
        e.Skip();
    });
}

void IpAddressCtrl::PlaceFields(const wxSize& size) {
    int dot = GetTextExtent(".").x + 2;
    int width = (size.x - 3 * dot) / 4;
    int fields = 0;
    int dots = 0;
    for (wxWindow* child : GetChildren()) {
        if (dynamic_cast<wxTextCtrl*>(child)) {
            child->SetSize(fields++ * (width + dot), 0, width, size.y);
        } else {
            int height = child->GetCharHeight();
            child->SetSize((dots + 1) * width + dots * dot, (size.y - height) / 2, dot, height);
            ++dots;
        }
    }
}

int IpAddressCtrl::GetField(int field) const {
    return field >= 0 && field < 4 ? ValueOf(m_fields[field]->GetValue()) : -1;
}

void IpAddressCtrl::SetField(int field, int value) {
    if (field < 0 || field > 3) return;
    m_reported[field] = value;
    m_fields[field]->ChangeValue(value < 0 ? wxString() : wxString::Format("%d", value));
}

void IpAddressCtrl::MoveTo(int field, bool selectAll) {
    wxTextCtrl* next = m_fields[field];
    next->SetFocus();
    if (selectAll) {
        next->SelectAll();
    } else {
        next->SetInsertionPointEnd();
    }
}

void IpAddressCtrl::OnChar(int field, wxKeyEvent& event) {
    int key = event.GetKeyCode();
    wxTextCtrl* text = m_fields[field];
    long from = 0;
    long to = 0;
    text->GetSelection(&from, &to);
    bool atStart = text->GetInsertionPoint() == 0 && from == to;
    bool atEnd = text->GetInsertionPoint() == text->GetLastPosition() && from == to;
    if (key >= '0' && key <= '9') return event.Skip();
    if (key == '.' || key == ' ') {
        // As the system control does: a dot ends a field that has digits.
        if (field < 3 && !text->IsEmpty()) MoveTo(field + 1, true);
        return;
    }
    if ((key == WXK_BACK || key == WXK_LEFT) && atStart && field > 0) {
        return MoveTo(field - 1, false);
    }
    if (key == WXK_RIGHT && atEnd && field < 3) return MoveTo(field + 1, false);
    // Control keys (editing, navigation, clipboard) stay with the field; other
    // printable characters are not part of an address.
    if (key < WXK_SPACE || key == WXK_DELETE || key >= WXK_START) event.Skip();
}

void IpAddressCtrl::OnText(int field) {
    if (m_rewriting) return;
    wxTextCtrl* text = m_fields[field];
    wxString typed = text->GetValue();
    int value = ValueOf(typed);
    // Pasted text may hold more than digits or more than 255: show what it counts as.
    if (!OnlyDigits(typed) || typed.length() > 3 || (value == 255 && typed != "255")) {
        m_rewriting = true;
        text->ChangeValue(value < 0 ? wxString() : wxString::Format("%d", value));
        text->SetInsertionPointEnd();
        m_rewriting = false;
    }
    if (value != m_reported[field]) {
        m_reported[field] = value;
        if (onFieldChanged) onFieldChanged(field);
    }
    bool typing = FindFocus() == text && text->GetInsertionPoint() == text->GetLastPosition();
    if (typing && field < 3 && text->GetValue().length() == 3) MoveTo(field + 1, true);
}

}  // namespace ui::wx

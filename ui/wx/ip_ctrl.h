// An IPv4 address control for wxWidgets, which has none: four digit fields in one bordered
// box, separated by dots. The user types digits only; a field holds 0 to 255 (more becomes
// 255) and focus moves on after three digits or a dot. Each change of a field's value by
// the user is reported with the field's index; setting a field from code is not. The
// dialog's Tab treats the control as one stop (WxBackend).
#pragma once

#include <wx/panel.h>
#include <wx/textctrl.h>

#include <array>
#include <functional>

namespace ui::wx {

class IpAddressCtrl : public wxPanel {
public:
    IpAddressCtrl(wxWindow* parent, const wxPoint& pos, const wxSize& size);

    // -1 for a blank field.
    int GetField(int field) const;
    void SetField(int field, int value);
    // The field's own text control, for a driver that acts as the user.
    wxTextCtrl* Field(int field) const { return m_fields[field]; }

    std::function<void(int field)> onFieldChanged;

    // Focus on a field, its text selected or the caret at its end.
    void MoveTo(int field, bool selectAll);

private:
    void PlaceFields(const wxSize& size);
    void OnChar(int field, wxKeyEvent& event);
    void OnText(int field);

    std::array<wxTextCtrl*, 4> m_fields{};
    // The values as last set from code or reported, so only real changes notify.
    std::array<int, 4> m_reported{-1, -1, -1, -1};
    bool m_rewriting = false;
};

}  // namespace ui::wx

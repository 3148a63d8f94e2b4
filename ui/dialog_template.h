// Dialog templates as data: one description of each dialog, from which every backend
// builds its native window. Positions and sizes are in dialog units; converting them to
// pixels is the backend's business.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ui {

enum class WindowKind {
    None,  // no such window (a stale or null handle)
    Dialog,
    Static,
    Edit,
    PushButton,
    CheckBox,  // automatic: a click toggles it before BN_CLICKED is reported
    GroupBox,
    ComboDropList,  // drop-down list: no edit field, the text is the selected entry's
    IpAddress,
    ListReport,  // list view in report mode
};

struct ControlTemplate {
    enum Style : uint32_t {
        ReadOnly = 1u << 0,  // edit: the user cannot type
        Password = 1u << 1,  // edit: shown masked; the text itself is unchanged
        AutoHScroll = 1u << 2,
        Border = 1u << 3,
        TabStop = 1u << 4,
        VScroll = 1u << 5,
        // Combo: kept for fidelity, but entries are always placed by position
        // (CComboBox::AddString appends), so the list keeps insertion order.
        Sort = 1u << 6,
        SingleSel = 1u << 7,  // list view
        Hidden = 1u << 8,     // created invisible
        Disabled = 1u << 9,   // created disabled
    };

    int id = 0;
    WindowKind kind = WindowKind::Static;
    std::string text;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    uint32_t style = 0;
};

struct DialogTemplate {
    enum Style : uint32_t {
        Popup = 1u << 0,
        Caption = 1u << 1,
        SysMenu = 1u << 2,  // brings the close box; without it the user cannot close the window
        ModalFrame = 1u << 3,
        Visible = 1u << 4,  // modal dialogs are shown when their loop starts either way
        AppWindow = 1u << 5,
    };

    int id = 0;
    std::string caption;
    uint32_t style = 0;
    std::string fontName;
    int fontSize = 0;  // points
    int x = 0;         // window position; cx and cy are the client area's size
    int y = 0;
    int cx = 0;
    int cy = 0;
    std::vector<ControlTemplate> controls;
};

// The templates a CDialog can name by id. Registering copies the template and replaces an
// earlier one of the same id; the application registers its own before it runs a dialog.
void RegisterDialogTemplate(const DialogTemplate& tmpl);
const DialogTemplate* FindDialogTemplate(int id);

}  // namespace ui

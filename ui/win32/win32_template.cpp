#include "ui/win32/win32_template.h"

// clang-format off
#include "ui/winconst.h"
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <string>

#include "ui/win32/win32_backend.h"

namespace ui::win32 {
namespace {

void PutString(std::vector<uint16_t>& out, const std::wstring& s) {
    for (wchar_t c : s) out.push_back(static_cast<uint16_t>(c));
    out.push_back(0);
}

void PutDword(std::vector<uint16_t>& out, uint32_t v) {
    out.push_back(static_cast<uint16_t>(v & 0xFFFF));
    out.push_back(static_cast<uint16_t>(v >> 16));
}

void AlignDword(std::vector<uint16_t>& out) {
    if (out.size() % 2) out.push_back(0);
}

uint32_t DialogStyle(uint32_t s) {
    using D = DialogTemplate;
    uint32_t style = 0;
    if (s & D::Popup) style |= WS_POPUP;
    if (s & D::Caption) style |= WS_CAPTION;
    if (s & D::SysMenu) style |= WS_SYSMENU;
    if (s & D::ModalFrame) style |= DS_MODALFRAME;
    return style;
}

}  // namespace

NativeControl NativeControlOf(const ControlTemplate& t) {
    using C = ControlTemplate;
    uint32_t common = WS_CHILD;
    if (!(t.style & C::Hidden)) common |= WS_VISIBLE;
    if (t.style & C::Disabled) common |= WS_DISABLED;
    if (t.style & C::TabStop) common |= WS_TABSTOP;
    if (t.style & C::Border) common |= WS_BORDER;
    if (t.style & C::VScroll) common |= WS_VSCROLL;
    switch (t.kind) {
        case WindowKind::Edit: {
            uint32_t s = ES_LEFT;
            if (t.style & C::AutoHScroll) s |= ES_AUTOHSCROLL;
            if (t.style & C::ReadOnly) s |= ES_READONLY;
            if (t.style & C::Password) s |= ES_PASSWORD;
            return {L"EDIT", common | s, 0};
        }
        case WindowKind::PushButton:
            return {L"BUTTON", common | (t.id == IDOK ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0};
        case WindowKind::CheckBox:
            return {L"BUTTON", common | BS_AUTOCHECKBOX, 0};
        case WindowKind::GroupBox:
            return {L"BUTTON", common | BS_GROUPBOX, 0};
        case WindowKind::ComboDropList:
            // No CBS_SORT: entries are placed by position, so the list keeps their order.
            return {L"COMBOBOX", common | CBS_DROPDOWNLIST, 0};
        case WindowKind::IpAddress:
            return {WC_IPADDRESSW, common, 0};
        case WindowKind::ListReport: {
            uint32_t s = LVS_REPORT | LVS_SHOWSELALWAYS;
            if (t.style & C::SingleSel) s |= LVS_SINGLESEL;
            return {WC_LISTVIEWW, common | s, 0};
        }
        case WindowKind::Static:
        case WindowKind::Dialog:
        case WindowKind::None:
            break;
    }
    return {L"STATIC", common | SS_LEFT, 0};
}

std::vector<uint16_t> BuildDialogTemplate(const DialogTemplate& tmpl) {
    std::vector<uint16_t> out;
    bool font = !tmpl.fontName.empty();
    PutDword(out, DialogStyle(tmpl.style) | (font ? DS_SETFONT : 0));
    PutDword(out, (tmpl.style & DialogTemplate::AppWindow) ? WS_EX_APPWINDOW : 0);
    out.push_back(static_cast<uint16_t>(tmpl.controls.size()));
    for (int v : {tmpl.x, tmpl.y, tmpl.cx, tmpl.cy}) out.push_back(static_cast<uint16_t>(v));
    out.push_back(0);  // no menu
    out.push_back(0);  // the standard dialog class
    PutString(out, Readable(tmpl.caption));
    if (font) {
        out.push_back(static_cast<uint16_t>(tmpl.fontSize));
        PutString(out, Readable(tmpl.fontName));
    }
    for (const ControlTemplate& c : tmpl.controls) {
        AlignDword(out);
        NativeControl n = NativeControlOf(c);
        PutDword(out, n.style);
        PutDword(out, n.exStyle);
        for (int v : {c.x, c.y, c.cx, c.cy}) out.push_back(static_cast<uint16_t>(v));
        out.push_back(static_cast<uint16_t>(c.id));
        PutString(out, n.className);
        // Texts go in from code, so a text is never taken for a resource id (0xFFFF).
        out.push_back(0);
        out.push_back(0);  // no creation data
    }
    return out;
}

}  // namespace ui::win32

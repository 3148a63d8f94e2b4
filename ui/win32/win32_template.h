// The in-memory DLGTEMPLATE of a dialog template, for CreateDialogIndirectParamW.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/dialog_template.h"

namespace ui::win32 {

// The Win32 window class and styles of a template control.
struct NativeControl {
    const wchar_t* className;
    uint32_t style;
    uint32_t exStyle;
};
NativeControl NativeControlOf(const ControlTemplate& t);

// The template as words, DWORD-aligned items included; the dialog is created hidden and
// shown by its modal run.
std::vector<uint16_t> BuildDialogTemplate(const DialogTemplate& tmpl);

}  // namespace ui::win32

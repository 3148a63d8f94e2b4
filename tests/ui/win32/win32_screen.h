// The screen as the Win32 controls show it, and the picture of a window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tests/ui/screen.h"
#include "ui/dialog_template.h"
#include "ui/win32/win32_backend.h"

namespace uitest {

std::unique_ptr<Screen> MakeWin32Screen(ui::win32::Win32Backend& backend);

// The window as it draws itself, frame and controls included: 0xRRGGBB pixels, row by row.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};
Picture TakePicture(ui::win32::Hwnd window);
// The picture as a PNG file, by the system's own encoder.
bool SavePng(const Picture& p, const std::string& path);

// Whether the window's big and small icons are as wide as the system's icon sizes.
bool IconsAtSystemSizes(ui::win32::Hwnd window);

// Expects the dialog's client area, its font and each control where the template puts them:
// the pixels its own font's dialog units give (MapDialogRect). Nothing else checks this:
// every dialog could be misdrawn and the other tests still pass.
void ExpectLaidOutAsTemplate(ui::win32::Win32Backend& backend, ui::Handle dialog,
                             const ui::DialogTemplate& t);
bool WindowExists(ui::win32::Hwnd window);

}  // namespace uitest

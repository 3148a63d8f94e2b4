// The screen as the Win32 controls show it, and the picture of a window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tests/ui/screen.h"
#include "ui/win32/win32_backend.h"

namespace uitest {

std::unique_ptr<Screen> MakeWin32Screen(ui::win32::Win32Backend& backend);

// The window as it draws itself, frame and controls included: width, height and RGB rows.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};
Picture TakePicture(ui::win32::Hwnd window);
// The picture as a PNG file, by the system's own encoder.
bool SavePng(const Picture& p, const std::string& path);

// Whether the window's big and small icons are as wide as the system's icon sizes.
bool IconsAtSystemSizes(ui::win32::Hwnd window);

}  // namespace uitest

// What the tests measure on the native windows, in a file of its own: <windows.h> and the
// framework's Windows-like names cannot meet in one file.
#pragma once

#include <string>
#include <vector>

#include "ui/win32/win32_backend.h"

namespace uitest {

// Pixel width of the text in the window's font, as GDI measures it.
int NativeTextWidth(ui::win32::Hwnd window, const std::string& text);
// The client width of a dialog, as the window manager gives it.
int NativeClientWidth(ui::win32::Hwnd window);
// What a window, a list view's cell or a drop-down list's entry shows.
std::wstring NativeText(ui::win32::Hwnd window);
std::wstring NativeCell(ui::win32::Hwnd list, int row, int col);
std::wstring NativeEntry(ui::win32::Hwnd combo, int index);

}  // namespace uitest

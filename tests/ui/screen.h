// What a desktop backend's native windows show, read back for the tests (not what the
// framework stored): each desktop backend's tests implement it on their toolkit.
#pragma once

#include <string>
#include <vector>

#include "ui/backend.h"

namespace uitest {

// Texts as UTF-8.
class Screen {
public:
    virtual ~Screen() = default;
    // A dialog's title, a static's or an edit's text, a drop-down list's field, an IP control's
    // four fields joined by dots (a blank one empty).
    virtual std::string Text(ui::Handle control) = 0;
    virtual std::vector<std::string> Entries(ui::Handle combo) = 0;
    virtual bool Checked(ui::Handle box) = 0;
    virtual bool Usable(ui::Handle control) = 0;
    virtual int Rows(ui::Handle list) = 0;
    virtual std::string Cell(ui::Handle list, int row, int col) = 0;
    virtual int ShownTopWindows() = 0;
    virtual bool HasIcon(ui::Handle dialog) = 0;
    virtual ui::Rect Frame(ui::Handle window) = 0;  // screen pixels
    virtual int ClientWidth(ui::Handle dialog) = 0;
    // Pixel width of the text in the window's font.
    virtual int TextWidth(ui::Handle window, const std::string& text) = 0;
};

}  // namespace uitest

// Where the Win32 backend puts the main dialog's controls: the pixels its own font's
// dialog units give (MapDialogRect), control by control. Nothing else checks this: every
// dialog could be misdrawn and the other tests still pass.
#include <gmock/gmock.h>
#include <windows.h>

#include "app/templates.h"
#include "ui/win32/win32_backend.h"

namespace {

using ui::WindowKind;

struct NoEvents : ui::DialogEvents {
    void OnNotify(int, unsigned, int) override {}
    bool OnKeyDown(unsigned) override { return false; }
    void OnMessage(unsigned, uintptr_t, intptr_t) override {}
    void OnTimer(uintptr_t) override {}
    void OnPaint() override {}
    int OnQueryDragIcon() override { return 0; }
};

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

TEST(Win32Geometry, MainDialogControlsSitWhereTheirDialogUnitsSay) {
    ui::win32::Win32Backend backend;
    NoEvents events;
    const ui::DialogTemplate& t = MainDialogTemplate();
    ui::Handle dialog = backend.CreateDialogWindow(t, 0, events);
    ASSERT_NE(dialog, 0u);
    HWND window = backend.Window(dialog);

    RECT client, expected = {0, 0, t.cx, t.cy};
    GetClientRect(window, &client);
    MapDialogRect(window, &expected);
    EXPECT_EQ(Describe(client), Describe(expected));
    // The font the template names, at its size.
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"MS Sans Serif");
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(font.lfHeight, -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72));
    ReleaseDC(nullptr, screen);

    for (const ui::ControlTemplate& c : t.controls) {
        ui::Handle control = backend.GetControl(dialog, c.id);
        ASSERT_EQ(backend.Kind(control), c.kind) << c.id;
        // The system converts the position and the size each on its own, as here.
        RECT at = {c.x, c.y, c.cx, c.cy}, got;
        MapDialogRect(window, &at);
        RECT want = {at.left, at.top, at.left + at.right, at.top + at.bottom};
        GetWindowRect(backend.Window(control), &got);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&got), 2);
        // A drop-down list is as high as its field (the template's height is the open
        // list's).
        if (c.kind == WindowKind::ComboDropList) {
            EXPECT_LT(got.bottom - got.top, want.bottom - want.top) << c.id;
            want.bottom = got.bottom;
        }
        EXPECT_EQ(Describe(got), Describe(want)) << "control " << c.id << " \"" << c.text << "\"";
    }
    backend.DestroyDialog(dialog);
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace

#include "tests/ui/win32/win32_screen.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
// clang-format on

#include <gtest/gtest.h>

#include <array>
#include <map>

namespace uitest {
namespace {

using ui::win32::Utf8;

std::string TextOf(HWND w) {
    wchar_t text[1024] = L"";
    GetWindowTextW(w, text, 1024);
    return Utf8(text);
}

class Win32Screen : public Screen {
public:
    explicit Win32Screen(ui::win32::Win32Backend& backend) : m_b(backend) {}

    std::string Text(ui::Handle control) override {
        HWND w = m_b.Window(control);
        if (m_b.Kind(control) != ui::WindowKind::IpAddress) return TextOf(w);
        std::map<LONG, std::string> fields;  // by their left edges
        for (HWND f = GetWindow(w, GW_CHILD); f; f = GetWindow(f, GW_HWNDNEXT)) {
            RECT r;
            GetWindowRect(f, &r);
            fields[r.left] = TextOf(f);
        }
        std::string text;
        for (const auto& [left, field] : fields) text += "." + field;
        return text.erase(0, 1);
    }
    std::vector<std::string> Entries(ui::Handle combo) override {
        HWND w = m_b.Window(combo);
        std::vector<std::string> entries;
        for (LRESULT i = 0, n = SendMessageW(w, CB_GETCOUNT, 0, 0); i < n; ++i) {
            std::wstring text(static_cast<size_t>(SendMessageW(w, CB_GETLBTEXTLEN, i, 0)) + 1,
                              L'\0');
            SendMessageW(w, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
            entries.push_back(Utf8(text.c_str()));
        }
        return entries;
    }
    bool Checked(ui::Handle box) override {
        return SendMessageW(m_b.Window(box), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    bool Usable(ui::Handle control) override { return IsWindowEnabled(m_b.Window(control)); }
    int Rows(ui::Handle list) override {
        return static_cast<int>(SendMessageW(m_b.Window(list), LVM_GETITEMCOUNT, 0, 0));
    }
    std::string Cell(ui::Handle list, int row, int col) override {
        wchar_t text[512] = L"";
        LVITEMW item{};
        item.iSubItem = col, item.pszText = text, item.cchTextMax = 512;
        SendMessageW(m_b.Window(list), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return Utf8(text);
    }
    int ShownTopWindows() override {
        int shown = 0;  // of this thread's top-level windows
        for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
            shown +=
                GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId() && IsWindowVisible(w);
        return shown;
    }
    bool HasIcon(ui::Handle dialog) override {
        return SendMessageW(m_b.Window(dialog), WM_GETICON, ICON_BIG, 0) != 0;
    }
    ui::Rect Frame(ui::Handle window) override {
        RECT r{};
        GetWindowRect(m_b.Window(window), &r);
        return {r.left, r.top, r.right, r.bottom};
    }
    int ClientWidth(ui::Handle dialog) override {
        RECT r{};
        GetClientRect(m_b.Window(dialog), &r);
        return r.right;
    }
    int TextWidth(ui::Handle window, const std::string& text) override {
        HWND w = m_b.Window(window);
        std::wstring s = ui::win32::Readable(text);
        HDC dc = GetDC(w);
        HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(w, WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(w, dc);
        return size.cx;
    }

private:
    ui::win32::Win32Backend& m_b;
};

// Runs draw on a bitmap of w by h that holds what target shows at x, y, then puts it there:
// the controls expect their DC's origin at their own corner.
template <class Draw>
void DrawAt(HDC target, int x, int y, int w, int h, Draw draw) {
    if (w <= 0 || h <= 0) return;
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, w, h);
    HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, w, h, target, x, y, SRCCOPY);
    draw(dc);
    BitBlt(target, x, y, w, h, dc, 0, 0, SRCCOPY);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

// The frame as the system draws it around a window of that size whose client area starts
// at `client`: here no window draws its own frame for WM_PRINT.
void PaintFrame(HWND w, HDC on, int width, int height, POINT client) {
    LONG style = GetWindowLongW(w, GWL_STYLE);
    RECT all{0, 0, width, height};
    if (style & WS_CHILD) {
        if (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) {
            DrawEdge(on, &all, EDGE_SUNKEN, BF_RECT);
        } else if (style & WS_BORDER) {
            FrameRect(on, &all, GetSysColorBrush(COLOR_WINDOWFRAME));
        }
        return;
    }
    FillRect(on, &all, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(on, &all, EDGE_RAISED, BF_RECT);
    if (!(style & WS_CAPTION)) return;
    RECT caption{client.x, client.y - GetSystemMetrics(SM_CYCAPTION), width - client.x,
                 client.y - 1};
    DrawCaption(w, on, &caption, DC_ACTIVE | DC_TEXT | DC_ICON | DC_GRADIENT);
    if (style & WS_SYSMENU) {
        int side = caption.bottom - caption.top - 4;
        RECT close{caption.right - side - 2, caption.top + 2, caption.right - 2,
                   caption.bottom - 2};
        // The button, and its cross drawn here: Wine has no Marlett font for the glyph.
        DrawFrameControl(on, &close, DFC_BUTTON, DFCS_BUTTONPUSH);
        HGDIOBJ pen = SelectObject(on, CreatePen(PS_SOLID, 2, GetSysColor(COLOR_BTNTEXT)));
        int inset = side / 4 + 1;
        MoveToEx(on, close.left + inset, close.top + inset, nullptr);
        LineTo(on, close.right - inset, close.bottom - inset);
        MoveToEx(on, close.right - inset, close.top + inset, nullptr);
        LineTo(on, close.left + inset, close.bottom - inset);
        DeleteObject(SelectObject(on, pen));
    }
}

// Has the window and its children draw themselves into dc, whose corner is `base` in
// screen pixels: the frame, the client area, then each child from the bottom of the
// z-order up. (The system's PrintWindow draws no children here.)
void PrintTree(HWND w, HDC dc, POINT base) {
    RECT r, inside;
    GetWindowRect(w, &r);
    GetClientRect(w, &inside);
    POINT client{0, 0};
    ClientToScreen(w, &client);
    DrawAt(dc, r.left - base.x, r.top - base.y, r.right - r.left, r.bottom - r.top, [&](HDC on) {
        PaintFrame(w, on, r.right - r.left, r.bottom - r.top,
                   {client.x - r.left, client.y - r.top});
    });
    DrawAt(dc, client.x - base.x, client.y - base.y, inside.right, inside.bottom, [&](HDC on) {
        SendMessageW(w, WM_PRINT, reinterpret_cast<WPARAM>(on), PRF_ERASEBKGND | PRF_CLIENT);
    });
    for (HWND c = GetWindow(GetWindow(w, GW_CHILD), GW_HWNDLAST); c; c = GetWindow(c, GW_HWNDPREV))
        if (IsWindowVisible(c)) PrintTree(c, dc, base);
}

}  // namespace

std::unique_ptr<Screen> MakeWin32Screen(ui::win32::Win32Backend& backend) {
    return std::make_unique<Win32Screen>(backend);
}

Picture TakePicture(ui::win32::Hwnd window) {
    RECT r{};
    GetWindowRect(window, &r);
    Picture p{r.right - r.left, r.bottom - r.top, {}};
    if (p.width <= 0 || p.height <= 0) return {};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), p.width, -p.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    PrintTree(window, dc, {r.left, r.top});
    GdiFlush();
    const auto* bgrx = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < p.width * p.height; ++i) p.pixels.push_back(bgrx[i] & 0xFFFFFF);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return p;
}

bool SavePng(const Picture& p, const std::string& path) {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
    const CLSID png = {
        0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    Gdiplus::Status saved;
    {
        // The pixels' layout, which the encoder only reads.
        auto* bgrx = reinterpret_cast<BYTE*>(const_cast<uint32_t*>(p.pixels.data()));
        Gdiplus::Bitmap bitmap(p.width, p.height, p.width * 4, PixelFormat32bppRGB, bgrx);
        saved = bitmap.Save(ui::win32::Readable(path).c_str(), &png, nullptr);
    }
    Gdiplus::GdiplusShutdown(token);
    return saved == Gdiplus::Ok;
}

bool IconsAtSystemSizes(ui::win32::Hwnd window) {
    auto width = [&](WPARAM which) {
        auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0));
        ICONINFO info{};
        if (!icon || !GetIconInfo(icon, &info)) return 0L;
        BITMAP bitmap{};
        GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
        return bitmap.bmWidth;
    };
    return width(ICON_BIG) == GetSystemMetrics(SM_CXICON) &&
           width(ICON_SMALL) == GetSystemMetrics(SM_CXSMICON);
}

void ExpectLaidOutAsTemplate(ui::win32::Win32Backend& backend, ui::Handle dialog,
                             const ui::DialogTemplate& t) {
    auto describe = [](const RECT& r) { return std::array{r.left, r.top, r.right, r.bottom}; };
    HWND window = backend.Window(dialog);
    RECT client, expected = {0, 0, t.cx, t.cy};
    GetClientRect(window, &client);
    MapDialogRect(window, &expected);
    EXPECT_EQ(describe(client), describe(expected));
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_EQ(Utf8(font.lfFaceName), t.fontName);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(font.lfHeight, -MulDiv(t.fontSize, GetDeviceCaps(screen, LOGPIXELSY), 72));
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
        // A drop-down list is as high as its field (the template's height is the open list's).
        if (c.kind == ui::WindowKind::ComboDropList) {
            EXPECT_LT(got.bottom - got.top, want.bottom - want.top) << c.id;
            want.bottom = got.bottom;
        }
        EXPECT_EQ(describe(got), describe(want)) << "control " << c.id << " \"" << c.text << "\"";
    }
}

bool WindowExists(ui::win32::Hwnd window) { return IsWindow(window); }

}  // namespace uitest

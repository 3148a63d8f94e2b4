#include "win32_fake_api.h"

#include <cstddef>
#include <cstring>
#include <utility>

#include "usb/device_table.h"

FakeWin32* g_fake = nullptr;

namespace {

const HDEVINFO kSet = reinterpret_cast<HDEVINFO>(0x5E7);

std::string Hex(unsigned long v) {
    char text[16];
    std::snprintf(text, sizeof text, "%lx", v);
    return text;
}
void Log(const std::string& call) { g_fake->log.push_back(call); }

// The interface data carries the index in its reserved field, the key is index + 1.
const FakeIface& Of(ULONG_PTR index) { return g_fake->ifaces.at(index); }
bool IsUsbPrint(const GUID* g) { return !std::memcmp(g, &GUID_DEVINTERFACE_USBPRINT, 16); }

HDEVINFO WINAPI ClassDevs(const GUID* g, PCSTR enumerator, HWND window, DWORD flags) {
    Log("classdevs " + Hex(flags) + (IsUsbPrint(g) && !enumerator && !window ? "" : " ?"));
    return g_fake->noSet ? INVALID_HANDLE_VALUE : kSet;
}
BOOL WINAPI Enum(HDEVINFO set, PSP_DEVINFO_DATA dev, const GUID* g, DWORD i,
                 PSP_DEVICE_INTERFACE_DATA data) {
    Log("enum " + std::to_string(i) + " " + std::to_string(data->cbSize) +
        (set == kSet && !dev && IsUsbPrint(g) ? "" : " ?"));
    DWORD error = i < g_fake->ifaces.size() ? Of(i).enumError : ERROR_NO_MORE_ITEMS;
    data->Reserved = i;
    return error ? (SetLastError(error), FALSE) : TRUE;
}
BOOL WINAPI Detail(HDEVINFO, PSP_DEVICE_INTERFACE_DATA data, PSP_DEVICE_INTERFACE_DETAIL_DATA_A out,
                   DWORD size, PDWORD needed, PSP_DEVINFO_DATA) {
    const FakeIface& f = Of(data->Reserved);
    DWORD want = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + f.path.size() + 1;
    if (!out) return *needed = want, SetLastError(ERROR_INSUFFICIENT_BUFFER), FALSE;
    Log("detail " + std::to_string(out->cbSize) + " " + std::to_string(size));
    if (f.noDetail || size < want) return SetLastError(ERROR_INVALID_USER_BUFFER), FALSE;
    std::memcpy(out->DevicePath, f.path.c_str(), f.path.size() + 1);
    return TRUE;
}
HKEY WINAPI OpenKey(HDEVINFO, PSP_DEVICE_INTERFACE_DATA data, DWORD reserved, REGSAM sam) {
    Log("key " + Hex(sam) + (reserved ? " ?" : ""));
    return reinterpret_cast<HKEY>(data->Reserved + 1);
}
LSTATUS WINAPI Query(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE value, LPDWORD size) {
    Log(std::string(name) + " " + std::to_string(*size) + (type ? " ?" : ""));
    const std::optional<uint32_t>& port = Of(reinterpret_cast<ULONG_PTR>(key) - 1).port;
    if (!port) return ERROR_FILE_NOT_FOUND;
    std::memcpy(value, &*port, 4);
    return *size = 4, ERROR_SUCCESS;
}
LSTATUS WINAPI CloseKey(HKEY) { return Log("closekey"), ERROR_SUCCESS; }
BOOL WINAPI Destroy(HDEVINFO set) { return Log("destroy"), set == kSet; }

HANDLE WINAPI Create(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                     DWORD disposition, DWORD flags, HANDLE model) {
    Log("open " + std::string(path) + " " + Hex(access) + " " + Hex(share) + " " +
        Hex(disposition) + " " + Hex(flags) + (security || model ? " ?" : ""));
    for (const FakeIface& f : g_fake->ifaces) {
        if (f.pipe.empty() || !std::string(path).starts_with(f.path)) continue;
        HANDLE pipe =
            CreateFileA(f.pipe.c_str(), access, share, security, disposition, flags, model);
        if (g_fake->onOpen) g_fake->onOpen();
        return pipe;
    }
    return SetLastError(ERROR_FILE_NOT_FOUND), INVALID_HANDLE_VALUE;
}
HANDLE WINAPI Event(LPSECURITY_ATTRIBUTES security, BOOL manual, BOOL set, LPCSTR name) {
    HANDLE event = manual && set && name && !*name && !security
                       ? CreateEventA(security, manual, set, name)
                       : nullptr;  // any other event would break the waits' rules
    if (event) g_fake->events.insert(event);
    return event;
}
DWORD WINAPI Wait(HANDLE handle, DWORD ms) {
    g_fake->waits.push_back(ms);
    if (auto before = std::exchange(g_fake->onWait, nullptr)) before();
    return WaitForSingleObject(handle, ms);
}
BOOL WINAPI Cancel(HANDLE file) { return ++g_fake->cancels, CancelIo(file); }
BOOL WINAPI Close(HANDLE handle) { return g_fake->events.erase(handle), CloseHandle(handle); }

}  // namespace

Win32Api FakeWin32Api() {
    Win32Api api = RealWin32Api();
    api.SetupDiGetClassDevsA = ClassDevs;
    api.SetupDiEnumDeviceInterfaces = Enum;
    api.SetupDiGetDeviceInterfaceDetailA = Detail;
    api.SetupDiOpenDeviceInterfaceRegKey = OpenKey;
    api.SetupDiDestroyDeviceInfoList = Destroy;
    api.RegQueryValueExA = Query;
    api.RegCloseKey = CloseKey;
    api.CreateFileA = Create;
    api.CreateEventA = Event;
    api.WaitForSingleObject = Wait;
    api.CancelIo = Cancel;
    api.CloseHandle = Close;
    return api;
}

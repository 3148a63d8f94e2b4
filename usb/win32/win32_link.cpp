#include "usb/win32/win32_link.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "usb/device_table.h"

namespace {

// The size fields the 32-bit SetupAPI checks (its records are packed to 1 byte there);
// a 64-bit one wants its own sizes.
constexpr DWORD kInterfaceDataSize = sizeof(void*) == 4 ? 28 : sizeof(SP_DEVICE_INTERFACE_DATA);
constexpr DWORD kDetailDataSize =
    sizeof(void*) == 4 ? 5 : sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
static_assert(sizeof(void*) != 4 || (sizeof(SP_DEVICE_INTERFACE_DATA) == 28 &&
                                     sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 5));

constexpr DWORD kPathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
// Far beyond any path the table keeps (255 characters); a larger size is no path of ours.
constexpr DWORD kDetailMax = 4096;

constexpr DWORD kAccess = GENERIC_READ | GENERIC_WRITE;       // 0xC0000000
constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;  // 3
constexpr DWORD kFlags =
    FILE_FLAG_OVERLAPPED | FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL;  // 0x48000080
static_assert(kAccess == 0xC0000000 && kShare == 3 && kFlags == 0x48000080);
static_assert(DIGCF_PRESENT + DIGCF_DEVICEINTERFACE == 0x12 && KEY_READ == 0x20019);

GUID InterfaceClass() {
    static_assert(sizeof(GUID) == sizeof(UsbGuid));
    GUID guid;
    std::memcpy(&guid, &GUID_DEVINTERFACE_USBPRINT, sizeof guid);
    return guid;
}

HANDLE File(UsbHandle handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

Win32UsbLink::Win32UsbLink(const Win32Api& api) : m_api(api) {}

Win32UsbLink::~Win32UsbLink() {
    CancelWrite(USB_INVALID_HANDLE);
    EndWalk();
}

bool Win32UsbLink::BeginWalk() {
    EndWalk();
    GUID guid = InterfaceClass();
    m_set =
        m_api.SetupDiGetClassDevsA(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    return m_set != INVALID_HANDLE_VALUE;
}

void Win32UsbLink::EndWalk() {
    if (m_set != INVALID_HANDLE_VALUE) m_api.SetupDiDestroyDeviceInfoList(m_set);
    m_set = INVALID_HANDLE_VALUE;
}

UsbIface Win32UsbLink::Interface(int index, std::string* path, uint32_t* portNumber) {
    if (m_set == INVALID_HANDLE_VALUE || index < 0) return UsbIface::End;
    GUID guid = InterfaceClass();
    SP_DEVICE_INTERFACE_DATA iface = {};
    iface.cbSize = kInterfaceDataSize;
    if (!m_api.SetupDiEnumDeviceInterfaces(m_set, nullptr, &guid, static_cast<DWORD>(index),
                                           &iface))
        return m_api.GetLastError() == ERROR_NO_MORE_ITEMS ? UsbIface::End : UsbIface::Skip;

    // The first call only tells the size; it fails for want of a buffer.
    DWORD size = 0;
    m_api.SetupDiGetDeviceInterfaceDetailA(m_set, &iface, nullptr, 0, &size, nullptr);
    if (size <= kPathOffset || size > kDetailMax) return UsbIface::Skip;
    std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD));  // aligned for cbSize
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
    detail->cbSize = kDetailDataSize;
    if (!m_api.SetupDiGetDeviceInterfaceDetailA(m_set, &iface, detail, size, nullptr, nullptr))
        return UsbIface::Skip;
    // Bounded by what the platform said it wrote, terminated or not.
    const char* text = detail->DevicePath;
    path->assign(text, strnlen(text, size - kPathOffset));

    ReadPortNumber(&iface, portNumber);
    return UsbIface::Found;
}

void Win32UsbLink::ReadPortNumber(SP_DEVICE_INTERFACE_DATA* iface, uint32_t* portNumber) {
    HKEY key = m_api.SetupDiOpenDeviceInterfaceRegKey(m_set, iface, 0, KEY_READ);
    if (!key || key == reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE)) return;
    BYTE value[8] = {};
    DWORD size = sizeof value;
    if (m_api.RegQueryValueExA(key, "Port Number", nullptr, nullptr, value, &size) == ERROR_SUCCESS)
        *portNumber = value[0];  // the low byte of the DWORD
    m_api.RegCloseKey(key);
}

UsbHandle Win32UsbLink::Open(const char* path) {
    HANDLE file = m_api.CreateFileA(path, kAccess, kShare, nullptr, OPEN_EXISTING, kFlags, nullptr);
    return reinterpret_cast<UsbHandle>(file);  // INVALID_HANDLE_VALUE is USB_INVALID_HANDLE
}

bool Win32UsbLink::Close(UsbHandle handle) {
    if (File(handle) == m_pendingWrite) CancelWrite(handle);
    return m_api.CloseHandle(File(handle)) != 0;
}

UsbIo Win32UsbLink::Read(UsbHandle handle, void* buffer, uint32_t* length, uint32_t timeoutMs) {
    return Transfer(false, File(handle), buffer, length, timeoutMs);
}

UsbIo Win32UsbLink::Write(UsbHandle handle, const void* buffer, uint32_t* length,
                          uint32_t timeoutMs) {
    CancelWrite(handle);  // the write record must be free; the pipe layer has done this
    return Transfer(true, File(handle), const_cast<void*>(buffer), length, timeoutMs);
}

void Win32UsbLink::CancelWrite(UsbHandle) {
    if (!m_pendingWrite) return;
    CancelAndWait(m_pendingWrite, &m_writeOverlapped);
    m_api.CloseHandle(m_writeOverlapped.hEvent);
    m_writeOverlapped.hEvent = nullptr;
    m_pendingWrite = nullptr;
}

void Win32UsbLink::CancelAndWait(HANDLE file, OVERLAPPED* overlapped) {
    m_api.CancelIo(file);
    // Until the transfer has ended, the platform may still write to the record, its event
    // and (for a read) the caller's buffer.
    DWORD ignored = 0;
    m_api.GetOverlappedResult(file, overlapped, &ignored, TRUE);
}

UsbIo Win32UsbLink::Transfer(bool write, HANDLE file, void* buffer, uint32_t* length,
                             uint32_t timeoutMs) {
    OVERLAPPED& overlapped = write ? m_writeOverlapped : m_readOverlapped;
    const DWORD want = *length;
    *length = 0;
    // Manual reset and initially signalled; ReadFile and WriteFile reset it as they start.
    HANDLE event = m_api.CreateEventA(nullptr, TRUE, TRUE, "");
    if (!event) return UsbIo::Failed;
    overlapped = OVERLAPPED{};
    overlapped.hEvent = event;

    DWORD done = 0;
    BOOL now = write ? m_api.WriteFile(file, buffer, want, &done, &overlapped)
                     : m_api.ReadFile(file, buffer, want, &done, &overlapped);
    UsbIo result = UsbIo::Done;
    if (!now) {
        DWORD error = m_api.GetLastError();
        if (error != ERROR_IO_PENDING && error != ERROR_IO_INCOMPLETE) {
            result = UsbIo::Failed;
        } else if (m_api.WaitForSingleObject(event, timeoutMs) == WAIT_OBJECT_0) {
            // Finished in time: the count is what the transfer moved, whatever its outcome;
            // the protocol's checks judge the bytes.
            m_api.GetOverlappedResult(file, &overlapped, &done, TRUE);
        } else if (write) {
            m_pendingWrite = file;  // CancelWrite ends it, and only then closes the event
            return UsbIo::TimedOut;
        } else {
            CancelAndWait(file, &overlapped);
            done = 0;
            result = UsbIo::TimedOut;
        }
    }
    m_api.CloseHandle(event);
    overlapped.hEvent = nullptr;
    *length = result == UsbIo::Done ? done : 0;
    return result;
}

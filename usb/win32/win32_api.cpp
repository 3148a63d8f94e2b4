#include "usb/win32/win32_api.h"

Win32Api RealWin32Api() {
    return {
        &::SetupDiGetClassDevsA,
        &::SetupDiEnumDeviceInterfaces,
        &::SetupDiGetDeviceInterfaceDetailA,
        &::SetupDiOpenDeviceInterfaceRegKey,
        &::SetupDiDestroyDeviceInfoList,
        &::RegQueryValueExA,
        &::RegCloseKey,
        &::CreateFileA,
        &::ReadFile,
        &::WriteFile,
        &::CreateEventA,
        &::WaitForSingleObject,
        &::GetOverlappedResult,
        &::CancelIo,
        &::CloseHandle,
        &::GetLastError,
    };
}

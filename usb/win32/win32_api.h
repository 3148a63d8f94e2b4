// Every Windows call the USB backend makes, as one table of function pointers, so that a
// test can stand in a scripted SetupAPI and registry and route device paths to named pipes.
// The program uses RealWin32Api().
#pragma once

#include <windows.h>
// windows.h first: setupapi.h builds on its types.
#include <setupapi.h>

struct Win32Api {
    decltype(&::SetupDiGetClassDevsA) SetupDiGetClassDevsA;
    decltype(&::SetupDiEnumDeviceInterfaces) SetupDiEnumDeviceInterfaces;
    decltype(&::SetupDiGetDeviceInterfaceDetailA) SetupDiGetDeviceInterfaceDetailA;
    decltype(&::SetupDiOpenDeviceInterfaceRegKey) SetupDiOpenDeviceInterfaceRegKey;
    decltype(&::SetupDiDestroyDeviceInfoList) SetupDiDestroyDeviceInfoList;
    decltype(&::RegQueryValueExA) RegQueryValueExA;
    decltype(&::RegCloseKey) RegCloseKey;

    decltype(&::CreateFileA) CreateFileA;
    decltype(&::ReadFile) ReadFile;
    decltype(&::WriteFile) WriteFile;
    decltype(&::CreateEventA) CreateEventA;
    decltype(&::WaitForSingleObject) WaitForSingleObject;
    decltype(&::GetOverlappedResult) GetOverlappedResult;
    decltype(&::CancelIo) CancelIo;
    decltype(&::CloseHandle) CloseHandle;
    decltype(&::GetLastError) GetLastError;
};

// The operating system's own functions.
Win32Api RealWin32Api();

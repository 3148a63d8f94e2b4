// Resource ids: the dialog templates, their controls, and the icon. Header only, so that
// the feature dialogs in settings/ name their controls without linking the templates.
#pragma once

inline constexpr int IDD_NETCFG_DIALOG = 102;
inline constexpr int IDD_AP_LIST = 129;
inline constexpr int IDD_AP_PASSWORD = 130;
inline constexpr int IDD_WAIT = 131;
inline constexpr int IDR_MAINFRAME = 128;  // the program's icon

// Control ids of the main dialog.
enum : int {
    IDC_DEVICE_LABEL = 1000,
    IDC_DEVICE_COMBO = 1001,
    IDC_DEVICE_SCAN = 1002,
    IDC_COUNTRY_LABEL = 1006,
    IDC_COUNTRY_COMBO = 1007,
    IDC_COUNTRY_SET = 1009,
    IDC_ETH_GROUP = 1010,
    IDC_WIFI_GROUP = 1011,
    IDC_SSID_LABEL = 1012,
    IDC_SSID_SCAN = 1014,
    IDC_ETH_DHCP = 1015,
    IDC_WIFI_DHCP = 1016,
    IDC_ETH_ADDR = 1017,
    IDC_ETH_ADDR_LABEL = 1018,
    IDC_ETH_MASK_LABEL = 1019,
    IDC_ETH_MASK = 1020,
    IDC_ETH_GATEWAY_LABEL = 1021,
    IDC_ETH_GATEWAY = 1022,
    IDC_ETH_SET = 1023,
    IDC_WIFI_ADDR_LABEL = 1024,
    IDC_WIFI_MASK_LABEL = 1025,
    IDC_WIFI_GATEWAY_LABEL = 1026,
    IDC_WIFI_ADDR = 1027,
    IDC_WIFI_MASK = 1028,
    IDC_WIFI_GATEWAY = 1029,
    IDC_WIFI_SET = 1030,
    IDC_AP_LIST = 1031,
    IDC_SSID = 1032,
    IDC_PASSWORD_LABEL = 1033,
    IDC_PASSWORD = 1034,
    IDC_WAIT_TEXT = 1035,
    IDC_CONNECT = 1036,
    IDC_PASSWORD_MSG = 1037,
    IDC_DELETE = 1038,
};

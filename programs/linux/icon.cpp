#include "programs/linux/icon.h"
#include "app/res/netcfg.xpm"
#include "app/resource.h"
#include "ui/wx/wx_backend.h"

void RegisterNetCfgIcon() { ui::wx::RegisterIcon(IDR_MAINFRAME, netcfg_xpm); }

// The program's window icon, for the wx backend.
#pragma once

// Gives the wx backend the picture of the program's icon resource.
void RegisterNetCfgIcon();

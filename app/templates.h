// The program's dialogs as data: one description each, from which every UI backend builds
// its windows.
#pragma once

#include "app/resource.h"
#include "ui/dialog_template.h"

const ui::DialogTemplate& MainDialogTemplate();
const ui::DialogTemplate& ApListTemplate();
const ui::DialogTemplate& ApPasswordTemplate();
const ui::DialogTemplate& WaitTemplate();

// Makes the four templates known to the dialog framework.
void RegisterNetCfgTemplates();

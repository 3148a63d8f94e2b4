// Everything a feature's dialog code includes.
#pragma once

#include "ui/app.h"
#include "ui/controls.h"
#include "ui/ddx.h"
#include "ui/dialog.h"
#include "ui/dialog_template.h"
#include "ui/msgmap.h"
#include "ui/winconst.h"
#include "ui/wintypes.h"
#include "ui/wnd.h"

#pragma once
// The whole document/view/frame framework in one include.

#include "src/framework/childframe.h"
#include "src/framework/cmdmenu.h"
#include "src/framework/cmdtarget.h"
#include "src/framework/doctemplate.h"
#include "src/framework/document.h"
#include "src/framework/fwdefs.h"
#include "src/framework/mainframe.h"
#include "src/framework/splitter.h"
#include "src/framework/statusbar.h"
#include "src/framework/view.h"
#include "src/framework/winapp.h"
#include "src/framework/wnd.h"

#include "src/platform/testhooks.h"

#include "src/platform/atoms.h"
#include "src/platform/messagebox.h"
#include "src/platform/resources.h"
#include "src/platform/settingsstore.h"
#include "src/platform/shell.h"
#include "src/platform/tickcount.h"

namespace platform
{

void resetForTests()
{
    SettingsStore::instance().reset();
    resetGlobalAtoms();
    resetMessageBoxHook();
    setShellOpenHook(nullptr);
    resetStringTable();
    useRealTickCount();
}

} // namespace platform

#include "resources/readhall_resources.h"

#include <QtCore/QtGlobal>

// Q_INIT_RESOURCE must be used outside of any namespace.
static void initReadhallResourceData()
{
    Q_INIT_RESOURCE(readhall);
}

void readhallInitResources()
{
    static bool done = false;
    if (done)
        return;
    initReadhallResourceData();
    done = true;
}

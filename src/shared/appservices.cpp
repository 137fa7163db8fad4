#include "src/shared/appservices.h"

#include "src/framework/winapp.h"

CAppServices* AppServices()
{
    return dynamic_cast<CAppServices*>(AfxGetApp());
}

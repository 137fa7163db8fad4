#include "src/shared/appservices.h"

#include "src/framework/winapp.h"

CAppServices* AppServices()
{
    return dynamic_cast<CAppServices*>(AfxGetApp());
}

CModalOperationScope::CModalOperationScope() : m_app(AppServices())
{
    if (m_app)
        m_app->AdjustModalOperationCount(1);
}

CModalOperationScope::~CModalOperationScope()
{
    // The application outlives every window that raises its count.
    if (m_app)
        m_app->AdjustModalOperationCount(-1);
}

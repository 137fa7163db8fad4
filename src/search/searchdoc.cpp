#include "src/search/searchdoc.h"

CSearchDoc::CSearchDoc()
{
    setObjectName(QStringLiteral("SearchDoc"));
    SetTitle(QStringLiteral("Search"));
}

void CSearchDoc::Reset()
{
    m_searchText.clear();
    m_titleOnly = 0;
    m_channels.clear();
    m_scopeText.clear();
}

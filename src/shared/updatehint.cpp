#include "src/shared/updatehint.h"

void SendShowURLHint(CDocument* document, const QString& url)
{
    if (!document)
        return;
    CUpdateHint hint(url);
    document->UpdateAllViews(nullptr, HINT_SHOW_URL, &hint);
}

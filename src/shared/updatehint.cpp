#include "src/shared/updatehint.h"

void SendShowURLHint(CDocument* document, const QString& url)
{
    if (!document)
        return;
    CUpdateHint hint(url);
    document->UpdateAllViews(nullptr, HINT_SHOW_URL, &hint);
}

CUpdateHint ChannelChangeHint(uint32_t channelId, bool storyMessage, LPARAM second)
{
    CUpdateHint hint(channelId);
    if (storyMessage && second) {
        if (const auto* stories = reinterpret_cast<const std::vector<uint32_t>*>(second))
            hint.m_array = *stories;
    }
    return hint;
}

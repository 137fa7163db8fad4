#include "src/channel/channeldoc.h"

#include "vantrel/chandir.h"

CChannelDoc::CChannelDoc() = default;
CChannelDoc::~CChannelDoc() = default;

CAlertDoc::CAlertDoc()
{
    m_alertMode = 1;
}

void CChannelDoc::Clear()
{
    m_name.clear();
    m_logoFile.clear();
    m_homePage.clear();
    m_lastUpdated.clear();
    m_subChannelPath.clear();
    m_channelIds.clear();
    m_mode = ModeNothing;
}

int CChannelDoc::SetChannel(uint32_t channelId, const QString& subChannelPath)
{
    CServices* services = GetCServices();
    if (!services)
        return 0;
    int result = 0;
    CService* channel = channelId ? services->GetServiceByID(channelId) : nullptr;
    if (!channel) {
        Clear();
    } else {
        QString name;
        channel->GetDisplayName(name);
        QString logo;
        channel->GetLogoBitmapFile(logo);
        QString homePage;
        channel->GetServiceInfo(QStringLiteral("Home Page"), homePage);
        QString updated;
        if (!channel->GetServiceDateData(updated)) {
            updated.clear();
            channel->GetLastUpdatedDateTime(updated);
        }
        m_name = name;
        m_logoFile = logo;
        m_homePage = homePage;
        m_channelIds.assign(1, channelId);
        m_mode = ModeChannel;
        m_subChannelPath = subChannelPath;
        m_lastUpdated = updated;
        result = 1;
    }
    ReleaseCServices();
    return result;
}

int CChannelDoc::SetCategory(const std::vector<uint32_t>& channelIds, const QString& name)
{
    if (channelIds.empty()) {
        Clear();
        return 0;
    }
    const std::vector<uint32_t> ids = channelIds; // the caller may pass our own list
    m_name = name;
    m_logoFile.clear();
    m_homePage.clear();
    m_subChannelPath.clear();
    m_lastUpdated.clear();
    m_channelIds = ids;
    m_mode = ModeCategory;
    return 1;
}

void CChannelDoc::Refresh()
{
    if (m_mode == ModeChannel)
        SetChannel(GetFirstChannelId(), QString(m_subChannelPath));
    else
        SetCategory(std::vector<uint32_t>(m_channelIds), QString(m_name));
}

bool CChannelDoc::IsShown(uint32_t channelId) const
{
    return IsOneOf(channelId, m_channelIds);
}

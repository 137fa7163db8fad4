#pragma once
// The document of the channel window: what the window shows (nothing, one channel optionally
// narrowed to a sub-channel, or every channel of a category). Its views read it and are told
// about changes through update hints (channelids.h). The alerts window uses the same
// document in alert mode (CAlertDoc). Nothing is kept on disk.

#include "src/channel/channelids.h"
#include "src/framework/document.h"
#include "src/shared/updatehint.h"

#include <QString>
#include <cstdint>
#include <vector>

class CChannelDoc : public CDocument
{
    Q_OBJECT
public:
    enum Mode : int { ModeNothing = 0, ModeChannel = 1, ModeCategory = 2 };

    CChannelDoc();
    ~CChannelDoc() override;

    // Points the document at a channel (and one of its sub-channels when the path is not
    // empty). Returns 1 when the directory knows the channel. An unknown id clears the
    // document; without the directory nothing changes and the answer is 0.
    int SetChannel(uint32_t channelId, const QString& subChannelPath = QString());
    // Points the document at the channels of a category. Returns 1 when the list is not empty;
    // an empty list clears the document.
    int SetCategory(const std::vector<uint32_t>& channelIds, const QString& name = QString());
    // Reads the current target again (the caller sends the hint).
    void Refresh();

    const QString& GetName() const { return m_name; }
    const QString& GetHomePage() const { return m_homePage; }
    const QString& GetLastUpdated() const { return m_lastUpdated; }
    const QString& GetLogoFile() const { return m_logoFile; }
    const std::vector<uint32_t>& GetChannelIds() const { return m_channelIds; }
    const QString& GetSubChannelPath() const { return m_subChannelPath; }
    int GetMode() const { return m_mode; }
    bool IsAlertMode() const { return m_alertMode != 0; }
    bool HasChannels() const { return !m_channelIds.empty(); }
    // Exactly one channel shown.
    bool ShowsOneChannel() const { return m_mode == ModeChannel && m_channelIds.size() == 1; }
    uint32_t GetFirstChannelId() const { return m_channelIds.empty() ? 0 : m_channelIds.front(); }
    // Whether the channel is one of those shown.
    bool IsShown(uint32_t channelId) const;

protected:
    void Clear();

    QString m_name;
    QString m_homePage;
    QString m_lastUpdated;
    QString m_logoFile;
    std::vector<uint32_t> m_channelIds;
    QString m_subChannelPath;
    int m_mode = ModeNothing;
    int m_alertMode = 0;
};

class CAlertDoc : public CChannelDoc
{
    Q_OBJECT
public:
    CAlertDoc();
};

#pragma once
// popsum: the story summary pop-up. A frameless window near a point, clear of a rectangle,
// showing a story's headline and summary with links to the full story and to the addresses
// in the summary.

#include "vantrel/chandir.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>

class QWidget;

int PopSum_Initialize();
int PopSum_Uninitialize();

class CSummaryPopupWidget;

class CSummary {
public:
    CSummary();
    virtual ~CSummary();
    CSummary(const CSummary&) = delete;
    CSummary& operator=(const CSummary&) = delete;

    // Creates the pop-up window for the parent; 0 on failure.
    virtual int Create(QWidget* parent, uint32_t style);
    void SetPalette(HPALETTE palette);

    // Shows the summary of the story at the point (screen coordinates), keeping clear of the
    // rectangle; 0 when the story has no summary or does not exist.
    int ShowStoryPopup(const QString& storyId, const QPoint& point, const QRect& exclude);
    void HidePopup();
    bool IsPopupVisible() const;

    // Called when the user follows a link: an address in the summary, or the full story.
    virtual int OnShowURL(const QString& url);
    virtual int OnShowStory(uint32_t channelId, uint32_t storyNumber);

    // The pop-up window, for tests and for focus checks; null before Create.
    QWidget* GetPopupWindow() const;

protected:
    // Reads headline and summary of the story; 0 when unavailable.
    virtual int GetSummary(const QString& storyId, QString& headline, QString& summary);
    int ShowPopup(const QString& headline, const QString& summary, const QPoint& point,
                  const QRect& exclude);

private:
    std::unique_ptr<CSummaryPopupWidget> m_popup;
    HPALETTE m_palette = nullptr;
    QString m_storyId;
};

// The pop-up as list views use it.
class CListCtrlSummary : public CSummary {
public:
    using CSummary::CSummary;
};

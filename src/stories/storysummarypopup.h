#pragma once
// The story summary pop-up of the story lists: the engine library's list pop-up whose links
// open the story or the address through the main frame.

#include "vantrel/popsum.h"

#include <cstdint>

class CStorySummaryPopup : public CListCtrlSummary
{
public:
    // Shows the address (the main frame's ShowURL); 0 when there is no main frame.
    int OnShowURL(const QString& url) override;
    // Shows the story (the main frame's ShowStory); an alert also tells the program's windows
    // that alerts were seen (notification 6). 0 when there is no main frame.
    int OnShowStory(uint32_t channelId, uint32_t storyNumber) override;
};

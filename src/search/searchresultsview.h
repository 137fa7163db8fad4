#pragma once
// The list of the stories the search window's query finds: the headline list's sister. It
// shares the headline list's rows, drawing, sorting, summary pop-up, keys, dragging and story
// commands, and differs in this: its own settings key, the Channel column always shown, the
// sub-channel shown as the story's "Category" text as it stands, read stories always listed,
// one row saying that nothing was found, no row at all for an empty query, and the
// Subchannel column decided by the last channel searched.

#include "src/stories/headlineview.h"

#include <cstdint>
#include <vector>

class CSearchDoc;

class CSearchResultsView : public CHeadlineView
{
    Q_OBJECT
public:
    explicit CSearchResultsView(QWidget* parent = nullptr);

    CSearchDoc* GetSearchDoc() const;
    void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;
    void RefreshList() override;
    // Adds a row for each found story of the channel (numbers in the channel's order) and
    // shows or hides the Subchannel column by what this channel's stories have.
    void AddServiceMatches(CService* channel, const std::vector<uint32_t>& numbers);

protected:
    settings::StoryList ListKind() const override { return settings::StoryList::SearchResults; }
    int AlwaysShownColumns() const override { return 3; }
    bool TakesBroadcasts() const override { return false; }
    void OnListEmptied() override {}
    bool DeleteHasWork() const override;
    bool PlaysFirstOnly() const override { return false; }
    bool PlayBlocked() const override;
    bool CanSelectAll() const override;
};

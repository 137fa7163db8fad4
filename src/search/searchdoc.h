#pragma once
// The document of the search window: the query. The form writes it on Find Now and New
// Search and tells the views; the results list runs it. Nothing is kept on disk.

#include "src/framework/document.h"

#include <QString>
#include <cstdint>
#include <vector>

class CSearchDoc : public CDocument
{
    Q_OBJECT
public:
    CSearchDoc();

    // Empty text, both headlines and summaries, no channels, no scope.
    void Reset();

    QString m_searchText;
    // 1: headlines only; 0: headlines, then summaries.
    int m_titleOnly = 0;
    // The channels to search, in search order.
    std::vector<uint32_t> m_channels;
    // The text of the scope entry the query was made with.
    QString m_scopeText;
};

#pragma once
// Shared helpers of the search window tests: the real engine filled by the test builder, the
// program's resources, and a search document with its form and results list.

#include "src/framework/view.h"
#include "tests/support/engine_builder.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

class CSearchCriteriaView;
class CSearchDoc;
class CSearchResultsView;

namespace searchtest
{

class SearchTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A story received at `minutes` past a fixed hour; returns its number.
    static uint32_t addStory(uint32_t channel, const QString& headline, int minutes,
                             const QString& summary = QString(),
                             const QString& category = QString());
    // A document with its form and list, both after their first update.
    void open();
    // Types the text, chooses the scope entry and the match choice, and presses Find Now.
    void find(const QString& text, const QString& scope, bool titleOnly);
    // The Content column of every row, top to bottom.
    static QStringList headlines(const CSearchResultsView* list);
    static QString cell(const CSearchResultsView* list, int row, int column);
    static int columnWidth(const CSearchResultsView* list, int column);

    std::unique_ptr<CSearchDoc> doc;
    std::unique_ptr<CSearchCriteriaView> form;
    std::unique_ptr<CSearchResultsView> list;
};

// Stands in the browser pane's place and records nothing.
class CBrowserStandIn : public CView
{
    Q_OBJECT
public:
    CBrowserStandIn() : CView(QStringLiteral("CBrowserStandIn")) {}
};

} // namespace searchtest

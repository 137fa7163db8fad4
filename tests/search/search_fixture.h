#pragma once
// The search window tests: the real engine filled by the test builder, the program's
// resources, and a search document with its form and results list.

#include "resources/readhall_resources.h"
#include "src/framework/view.h"
#include "src/search/imagecombobox.h"
#include "src/search/searchcriteriaview.h"
#include "src/search/searchdoc.h"
#include "src/search/searchresultsview.h"
#include "tests/support/engine_builder.h"

#include <QDateTime>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace searchtest
{

class SearchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        readhallInitResources();
        ASSERT_TRUE(rhtest::engine::start());
    }
    void TearDown() override
    {
        list.reset();
        form.reset();
        doc.reset();
    }

    // A story received at `minutes` past a fixed hour; returns its number.
    static uint32_t addStory(uint32_t channel, const QString& headline, int minutes,
                             const QString& summary = QString(),
                             const QString& category = QString())
    {
        rhtest::engine::StorySeed story;
        story.headline = headline;
        story.summary = summary;
        story.category = category;
        story.url = QStringLiteral("https://news.example/%1/%2").arg(channel).arg(minutes);
        story.published = QDateTime(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC).addSecs(minutes * 60);
        return rhtest::engine::addStory(channel, story);
    }
    // A document with its form and list, both after their first update.
    void open()
    {
        doc = std::make_unique<CSearchDoc>();
        form = std::make_unique<CSearchCriteriaView>();
        list = std::make_unique<CSearchResultsView>();
        doc->AddView(form.get());
        doc->AddView(list.get());
        form->resize(600, 100);
        list->resize(900, 300);
        form->OnInitialUpdate();
        list->OnInitialUpdate();
    }
    // Types the text, chooses the scope entry and the match choice, and presses Find Now.
    void find(const QString& text, const QString& scope, bool titleOnly)
    {
        form->searchEdit()->setText(text);
        const int entry = form->scopeBox()->findText(scope);
        ASSERT_GE(entry, 0) << scope.toStdString();
        form->scopeBox()->setCurrentIndex(entry);
        (titleOnly ? form->titleOnlyButton() : form->titleAndSummaryButton())->setChecked(true);
        form->findNowButton()->click();
    }
    // The Content column of every row, top to bottom.
    static QStringList headlines(const CSearchResultsView* view)
    {
        QStringList result;
        for (int row = 0; row < view->model()->rowCount(); ++row)
            result << cell(view, row, 0);
        return result;
    }
    static QString cell(const CSearchResultsView* view, int row, int column)
    {
        return view->model()->index(row, column).data().toString();
    }
    static int columnWidth(const CSearchResultsView* view, int column)
    {
        return view->list()->header()->sectionSize(column);
    }

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

#include "tests/search/search_fixture.h"

#include "resources/readhall_resources.h"
#include "src/search/imagecombobox.h"
#include "src/search/searchcriteriaview.h"
#include "src/search/searchdoc.h"
#include "src/search/searchresultsview.h"

#include <QDateTime>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace searchtest
{

void SearchTest::SetUp()
{
    readhallInitResources();
    ASSERT_TRUE(rhtest::engine::start());
}

void SearchTest::TearDown()
{
    list.reset();
    form.reset();
    doc.reset();
}

uint32_t SearchTest::addStory(uint32_t channel, const QString& headline, int minutes,
                              const QString& summary, const QString& category)
{
    rhtest::engine::StorySeed story;
    story.headline = headline;
    story.summary = summary;
    story.category = category;
    story.url = QStringLiteral("https://news.example/%1/%2").arg(channel).arg(minutes);
    story.published = QDateTime(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC).addSecs(minutes * 60);
    return rhtest::engine::addStory(channel, story);
}

void SearchTest::open()
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

void SearchTest::find(const QString& text, const QString& scope, bool titleOnly)
{
    form->searchEdit()->setText(text);
    const int entry = form->scopeBox()->findText(scope);
    ASSERT_GE(entry, 0) << scope.toStdString();
    form->scopeBox()->setCurrentIndex(entry);
    (titleOnly ? form->titleOnlyButton() : form->titleAndSummaryButton())->setChecked(true);
    form->findNowButton()->click();
}

QStringList SearchTest::headlines(const CSearchResultsView* view)
{
    QStringList result;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        result << cell(view, row, 0);
    return result;
}

QString SearchTest::cell(const CSearchResultsView* view, int row, int column)
{
    return view->model()->index(row, column).data().toString();
}

int SearchTest::columnWidth(const CSearchResultsView* view, int column)
{
    return view->list()->header()->sectionSize(column);
}

} // namespace searchtest

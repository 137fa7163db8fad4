#include "tests/stories/stories_fixture.h"

#include "resources/readhall_resources.h"
#include "src/app/readhallapp.h"
#include "src/stories/storyids.h"

namespace storiestest
{

void StoriesTest::SetUp()
{
    readhallInitResources();
    ASSERT_TRUE(rhtest::engine::start());
    m_app = std::make_unique<CReadhallApp>();
    m_calls.clear();
    const auto add = [this](const char* name, std::vector<uint32_t> args) {
        m_calls.push_back({QString::fromLatin1(name), std::move(args)});
        return 1;
    };
    const auto withList = [](std::vector<uint32_t> args, const DATA_LIST& list) {
        args.insert(args.end(), list.begin(), list.end());
        return args;
    };
    const auto numbers = [add](const char* name) {
        return [add, name](auto... values) { return add(name, {uint32_t(values)...}); };
    };
    StoryCalls& calls = storyCalls();
    calls.markStoriesRead = [=](uint32_t channel, const DATA_LIST& stories, int read) {
        return add("markStoriesRead", withList({channel, uint32_t(read)}, stories));
    };
    calls.markStoryRead = numbers("markStoryRead");
    calls.deleteStories = [=](uint32_t channel, const DATA_LIST& stories) {
        return add("deleteStories", withList({channel}, stories));
    };
    calls.keepStory = numbers("keepStory");
    calls.downloadStory = numbers("downloadStory");
    calls.playBundlet = numbers("playBundlet");
    calls.replicateBundlet = numbers("replicateBundlet");
    calls.showBundletProperties = [=](QWidget*, uint32_t c, uint32_t b) {
        return add("showBundletProperties", {c, b});
    };
    calls.showStory = numbers("showStory");
    calls.showURL = [=](const QString&) { return add("showURL", {}); };
    calls.broadcastNotification = [=](int number, const QString&, uint32_t value) {
        return add("broadcastNotification", {uint32_t(number), value});
    };
}

void StoriesTest::TearDown()
{
    m_views.clear();
    m_docs.clear();
    m_app.reset();
    resetStoryCalls();
}

uint32_t StoriesTest::addStory(uint32_t channel, const QString& headline, int minutes,
                               const QVariantMap& attributes, const QString& category,
                               const QString& summary)
{
    rhtest::engine::StorySeed desc;
    desc.headline = headline;
    desc.summary = summary;
    desc.category = category;
    desc.url = QStringLiteral("https://news.example/%1").arg(headline.toHtmlEscaped());
    desc.published = QDateTime(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC).addSecs(minutes * 60);
    desc.attributes = attributes;
    return rhtest::engine::addStory(channel, desc);
}

uint32_t StoriesTest::playable(uint32_t channel, const QString& headline, int minutes,
                               const QString& url)
{
    rhtest::engine::StorySeed desc;
    desc.headline = headline;
    desc.bundletType = VTBUNDLET_VIDEO;
    desc.enclosureUrl = url.isEmpty() ? "https://media.example/" + headline + ".avi" : url;
    desc.published = QDateTime(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC).addSecs(minutes * 60);
    return rhtest::engine::addStory(channel, desc);
}

CHeadlineView* StoriesTest::attach(std::unique_ptr<CChannelDoc> doc)
{
    auto view = std::make_unique<CHeadlineView>();
    doc->AddView(view.get());
    view->resize(900, 400);
    view->OnInitialUpdate();
    CHeadlineView* raw = view.get();
    m_docs.push_back(std::move(doc));
    m_views.push_back(std::move(view));
    return raw;
}

CHeadlineView* StoriesTest::viewOfChannel(uint32_t channel, const QString& path)
{
    auto doc = std::make_unique<CChannelDoc>();
    doc->SetChannel(channel, path);
    return attach(std::move(doc));
}

CHeadlineView* StoriesTest::viewOfCategory(const std::vector<uint32_t>& channels)
{
    auto doc = std::make_unique<CChannelDoc>();
    doc->SetCategory(channels, QStringLiteral("News"));
    return attach(std::move(doc));
}

CHeadlineView* StoriesTest::viewOfAlerts()
{
    std::unique_ptr<CChannelDoc> doc = std::make_unique<CAlertDoc>();
    doc->SetChannel(VT_ALERTS_CHANNEL_ID);
    return attach(std::move(doc));
}

QStringList StoriesTest::headlines(const CHeadlineView* view)
{
    QStringList result;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        result << cell(view, row, COLUMN_CONTENT);
    return result;
}

QString StoriesTest::cell(const CHeadlineView* view, int row, int column)
{
    return view->model()->index(row, column).data().toString();
}

int StoriesTest::rowOf(const CHeadlineView* view, const QString& headline)
{
    return static_cast<int>(headlines(view).indexOf(headline));
}

std::vector<Call> StoriesTest::callsNamed(const QString& name) const
{
    std::vector<Call> result;
    for (const Call& call : m_calls)
        if (call.name == name)
            result.push_back(call);
    return result;
}

Args StoriesTest::argsOf(const QString& name) const
{
    Args result;
    for (const Call& call : callsNamed(name))
        result.push_back(call.args);
    return result;
}

uint32_t StoriesTest::bundletOf(uint32_t channel, uint32_t number)
{
    uint32_t bundlet = 0;
    if (CServices* services = GetCServices()) {
        services->GetStoryAttribute(CService::MakeStoryID(channel, number), "BundLet Id", bundlet);
        ReleaseCServices();
    }
    return bundlet;
}

void StoriesTest::setUnreadOnly(bool on)
{
    m_app->m_bShowUnreadItemsOnly = on ? 1 : 0;
}

} // namespace storiestest

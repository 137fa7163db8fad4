// Add Using Address: feeds previewed and subscribed, pages offer feeds, bad input adds nothing.

#include "tests/dialogs/dialogs_fixture.h"
#include "vantrel/dialogs/addchanneldialog.h"
#include "vantrel/engctl.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <tuple>

using namespace dialogstest;
using vantrel::dialogs::AddChannelDialog;

namespace
{

class AddChannelTest : public DialogTest
{
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        dialog = std::make_unique<AddChannelDialog>();
        dialog->show();
    }
    void TearDown() override
    {
        dialog.reset();
        DialogTest::TearDown();
    }
    // Types the address and presses Enter, as a person would; waits for the answer.
    bool fetch(const QString& address)
    {
        QLineEdit* edit = child<QLineEdit>(dialog.get(), "addressEdit");
        edit->clear();
        QTest::keyClicks(edit, address);
        QTest::keyClick(edit, Qt::Key_Return);
        return rhtest::waitFor([&] { return !dialog->isFetching(); }, 10000);
    }
    QPushButton* subscribe() const { return child<QPushButton>(dialog.get(), "subscribeButton"); }

    std::unique_ptr<AddChannelDialog> dialog;
};

TEST_F(AddChannelTest, AFeedIsPreviewedThenSubscribedWithTheNameAndCategoryChosen)
{
    const QString url = serveFeed("/feed.xml", "Kernel News", 12);
    ASSERT_TRUE(fetch(url));
    EXPECT_EQ(dialog->message(), "");
    EXPECT_EQ(child<QLineEdit>(dialog.get(), "nameEdit")->text(), "Kernel News");
    auto* newest = child<QTreeWidget>(dialog.get(), "newestList");
    ASSERT_EQ(newest->topLevelItemCount(), vantrel::Engine::kProbeHeadlines);
    EXPECT_EQ(newest->topLevelItem(0)->text(0), "Story 1");
    EXPECT_TRUE(subscribe()->isEnabled());
    EXPECT_TRUE(subscribe()->isDefault());

    child<QLineEdit>(dialog.get(), "nameEdit")->setText("Linux");
    child<QComboBox>(dialog.get(), "categoryBox")->setEditText("Technology/Linux");
    QTest::keyClick(child<QLineEdit>(dialog.get(), "nameEdit"), Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    ASSERT_NE(dialog->channelId(), 0u);
    ASSERT_TRUE(rhtest::engine::waitForIdle());
    const auto all = channels();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(std::tie(all[0].name, all[0].categories, all[0].stories),
              std::make_tuple(QString("Linux"), QString("Technology/Linux"), 12));
}

TEST_F(AddChannelTest, APageWithTwoFeedLinksOffersBothAndTheChosenOneIsAdded)
{
    serveFeed("/site/rss.xml", "Site RSS");
    const QString atom = serveFeed("/other/atom.xml", "Site Atom");
    server.setRoute("/site/", pageLinking({"rss.xml", atom}), "text/html; charset=utf-8");
    ASSERT_TRUE(fetch(server.url("/site/").toString()));
    auto* list = child<QListWidget>(dialog.get(), "feedList");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->data(Qt::UserRole).toString(), server.url("/site/rss.xml").toString());
    EXPECT_EQ(child<QLineEdit>(dialog.get(), "nameEdit")->text(), "Site RSS"); // the first, at once

    list->setCurrentRow(1);
    ASSERT_TRUE(rhtest::waitFor([&] {
        return !dialog->isFetching() &&
               child<QLineEdit>(dialog.get(), "nameEdit")->text() == "Site Atom";
    }));
    subscribe()->click();
    ASSERT_EQ(channels().size(), 1u);
    EXPECT_EQ(channels()[0].address, atom);
}

TEST_F(AddChannelTest, FeedLinksAndPagesWithOneFeedLeadToTheFeed)
{
    const QString url = serveFeed("/f.xml", "Linked");
    server.setRoute("/one.html", pageLinking({"/f.xml"}), "text/html");
    for (const QString& address :
         {QString(url).replace("http://", "feed://"), server.url("/one.html").toString()}) {
        SCOPED_TRACE(address.toStdString());
        ASSERT_TRUE(fetch(address));
        EXPECT_EQ(child<QLineEdit>(dialog.get(), "nameEdit")->text(), "Linked");
        EXPECT_TRUE(subscribe()->isEnabled());
    }
    subscribe()->click();
    ASSERT_EQ(channels().size(), 1u);
    EXPECT_EQ(channels()[0].address, url);
}

// The download failures themselves are the fetcher's; here each kind of refusal reaches the
// dialog and nothing is added.
TEST_F(AddChannelTest, EveryBadInputIsSaidInTheDialogAndAddsNothing)
{
    engine()->setFetchTimeoutMs(500);
    const QString daily = serveFeed("/feed.xml", "Daily");
    ASSERT_NE(DialogTest::subscribe(daily, "My Daily"), 0u);
    const size_t entries = engine()->directoryEntries().size();
    server.setStall("/stall");
    server.setRoute("/gone", "no", "text/plain", 404);
    server.setRoute("/text", "just some words", "text/plain");
    server.setRoute("/page", "<html><head><title>x</title></head><body>hi</body></html>",
                    "text/html");
    rhtest::LocalHttpServer::Route big;
    big.body = QByteArray(17 * 1024 * 1024, ' ');
    big.contentType = "application/rss+xml";
    server.setRoute("/big", big);

    const struct {
        QString address;
        const char* said;
    } cases[] = {
        {"", "Type the address"},
        {"javascript:alert(1)", "\"javascript:\" addresses are refused"},
        {"data:text/xml,<rss/>", "\"data:\" addresses are refused"},
        {"http://", "not a valid address"},
        {server.url("/stall").toString(), "timed out"},
        {server.url("/gone").toString(), "404"},
        {server.url("/text").toString(), "neither a feed nor a web page"},
        {server.url("/page").toString(), "links to no feed"},
        {server.url("/big").toString(), "too large"},
        {QString(daily).replace("http://", "feed://"), "\"My Daily\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address.toStdString());
        ASSERT_TRUE(fetch(c.address));
        EXPECT_TRUE(dialog->message().contains(QLatin1String(c.said), Qt::CaseInsensitive))
            << dialog->message().toStdString();
        EXPECT_FALSE(subscribe()->isEnabled());
    }
    subscribe()->click();
    EXPECT_EQ(channels().size(), 1u);
    EXPECT_EQ(engine()->directoryEntries().size(), entries);
}

TEST_F(AddChannelTest, ClosingDuringASlowFetchStopsItAndLeavesNothingBehind)
{
    server.setStall("/slow.xml");
    child<QLineEdit>(dialog.get(), "addressEdit")->setText(server.url("/slow.xml").toString());
    child<QPushButton>(dialog.get(), "fetchButton")->click();
    ASSERT_TRUE(rhtest::waitFor([&] { return server.requestCount("/slow.xml") == 1; }));
    EXPECT_TRUE(dialog->isFetching());
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(rhtest::engine::waitForIdle(3000)); // the download was aborted, not waited for
    EXPECT_TRUE(channels().empty());
    EXPECT_TRUE(engine()->directoryEntries().empty());
}

TEST_F(AddChannelTest, TheEngineCommandOpensTheDialogWithAnAddressAndObeysTheRestriction)
{
    const QString url = serveFeed("/feed.xml", "Given");
    QTimer::singleShot(0, [] {
        auto* shown = qobject_cast<AddChannelDialog*>(QApplication::activeModalWidget());
        if (!shown) {
            ADD_FAILURE() << "Add Using Address did not open";
            return;
        }
        ASSERT_TRUE(rhtest::waitFor([&] { return !shown->isFetching(); }));
        shown->accept();
    });
    EXPECT_EQ(VTNewChannelWithAddress(nullptr, url), 1);
    EXPECT_EQ(channels().size(), 1u);

    ASSERT_TRUE(engine()->setWorkgroupRestrictions(VTRESTRICT_ADD_BY_ADDRESS));
    EXPECT_EQ(VTNewChannel(nullptr), 0); // said, and no dialog opened
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("turned off"));
}

} // namespace

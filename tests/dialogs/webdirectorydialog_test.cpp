// The web directory dialog: catalogues added by address or file, read again, removed, refused.

#include "tests/dialogs/dialogs_fixture.h"
#include "vantrel/dialogs/webdirectorydialog.h"
#include "vantrel/engctl.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace eb = rhtest::engine;
using vantrel::WebDirectoryDialog;

namespace
{

QByteArray opml(const QStringList& feeds)
{
    QByteArray body = "<?xml version=\"1.0\"?><opml version=\"2.0\"><body><outline text=\"News\">";
    for (const QString& feed : feeds)
        body += QStringLiteral("<outline text=\"%1\" type=\"rss\" xmlUrl=\"feeds/%1.xml\"/>")
                    .arg(feed)
                    .toUtf8();
    return body + "</outline></body></opml>";
}

class WebDirectoryDialogTest : public dialogstest::DialogTest
{
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        ASSERT_EQ(VTSetDownloadEnabled(0), 1); // no feed downloads here
        dialog = std::make_unique<WebDirectoryDialog>();
        dialog->show();
    }
    void TearDown() override
    {
        dialog.reset();
        WebDirectoryDialog::setConfirmHook({});
        WebDirectoryDialog::setFileChooser({});
        eb::waitForIdle();
        DialogTest::TearDown();
    }
    QPushButton* button(const char* name) const { return child<QPushButton>(dialog.get(), name); }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    // Waits until no catalogue is read any more and the dialog has seen it.
    bool settle() const
    {
        return eb::waitForIdle() && rhtest::waitFor([&] { return !dialog->isBusy(); });
    }
    QStringList column(int column) const
    {
        QStringList texts;
        for (int i = 0; i < dialog->list()->topLevelItemCount(); ++i)
            texts << dialog->list()->topLevelItem(i)->text(column);
        return texts;
    }
    QStringList directoryNames() const
    {
        QStringList names;
        for (const vantrel::DirEntry& e : engine()->directoryEntries())
            names << e.name;
        names.sort();
        return names;
    }
    void select(int row) { dialog->list()->setCurrentItem(dialog->list()->topLevelItem(row)); }

    std::unique_ptr<WebDirectoryDialog> dialog;
};

TEST_F(WebDirectoryDialogTest, AnAddressIsReadOnTheWorkerAndListed)
{
    server.setRoute("/c.opml", opml({"Tides", "Winds"}), "text/x-opml");
    server.setStall("/slow.opml");
    const QString address = server.url("/c.opml").toString();
    QTest::keyClicks(dialog->addressBox(), address);
    click("AddAddressButton");
    EXPECT_TRUE(dialog->addressBox()->text().isEmpty());
    ASSERT_TRUE(settle());
    EXPECT_EQ(column(WebDirectoryDialog::ColumnCatalogue), QStringList{address});
    EXPECT_EQ(column(WebDirectoryDialog::ColumnChannels), QStringList{"2"});
    EXPECT_EQ(column(WebDirectoryDialog::ColumnStatus), QStringList{"Up to date"});
    EXPECT_EQ(directoryNames(), (QStringList{"Tides", "Winds"}));
    EXPECT_TRUE(dialog->messageLabel()->text().contains("2 channels"));
    EXPECT_TRUE(dialog->changedSomething());

    // While a catalogue is read, the dialog says so.
    ASSERT_TRUE(dialog->addCatalogue(server.url("/slow.opml").toString()));
    EXPECT_TRUE(dialog->isBusy());
    EXPECT_TRUE(dialog->progressBar()->isVisible());
    EXPECT_FALSE(button("RefreshButton")->isEnabled());
    EXPECT_EQ(column(WebDirectoryDialog::ColumnStatus)[1], "Reading...");
    eb::stop(); // stops the stalled download
}

TEST_F(WebDirectoryDialogTest, ACatalogueThatCannotBeDownloadedStaysListedWithTheReason)
{
    const QString address = server.url("/missing.opml").toString();
    ASSERT_TRUE(dialog->addCatalogue(address));
    ASSERT_TRUE(settle());
    ASSERT_EQ(dialog->list()->topLevelItemCount(), 1);
    const QString status = column(WebDirectoryDialog::ColumnStatus).front();
    EXPECT_TRUE(status.contains("404")) << status.toStdString();
    EXPECT_EQ(dialog->messageLabel()->text(), status);
    EXPECT_EQ(column(WebDirectoryDialog::ColumnLastRead), QStringList{"Not read yet"});

    // Once the address answers, reading it again brings its channels.
    server.setRoute("/missing.opml", opml({"Rain"}), "text/x-opml");
    select(0);
    click("RefreshButton");
    ASSERT_TRUE(settle());
    EXPECT_EQ(column(WebDirectoryDialog::ColumnStatus), QStringList{"Up to date"});
    EXPECT_EQ(directoryNames(), QStringList{"Rain"});
}

TEST_F(WebDirectoryDialogTest, RefusedAddressesSayWhyAndAddNothing)
{
    const QString file = rhtest::testRoot() + "/local.opml";
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(opml({"Harbour"}));
    out.close();
    WebDirectoryDialog::setFileChooser([&] { return file; });
    click("AddFileButton");
    ASSERT_TRUE(settle());
    ASSERT_EQ(dialog->list()->topLevelItemCount(), 1);

    const struct {
        QString address;
        const char* reason;
    } cases[] = {{"", "Type the web address"},
                 {"ftp://example.org/c.opml", "Not a catalogue address"},
                 {rhtest::testRoot() + "/none.opml", "no such file"},
                 {file, "listed already"}};
    for (const auto& c : cases) {
        dialog->addressBox()->setText(c.address);
        EXPECT_FALSE(dialog->addCatalogue()) << c.reason;
        EXPECT_TRUE(dialog->messageLabel()->text().contains(c.reason))
            << dialog->messageLabel()->text().toStdString();
    }
    EXPECT_EQ(dialog->list()->topLevelItemCount(), 1);
}

TEST_F(WebDirectoryDialogTest, RemovingAsksFirstAndKeepsSubscribedChannels)
{
    server.setRoute("/c.opml", opml({"Keep", "Drop"}), "text/x-opml");
    ASSERT_TRUE(dialog->addCatalogue(server.url("/c.opml").toString()));
    ASSERT_TRUE(settle());
    for (const vantrel::DirEntry& e : engine()->directoryEntries())
        if (e.name == "Keep") {
            ASSERT_EQ(VTSubscribeToChannel(nullptr, e.id), 1);
        }
    QStringList asked;
    int answer = 0;
    WebDirectoryDialog::setConfirmHook([&](const QString& question) {
        asked << question;
        return answer;
    });
    select(0);
    click("RemoveButton");
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].contains("the channels you subscribed to stay"));
    EXPECT_EQ(dialog->list()->topLevelItemCount(), 1);

    answer = 1;
    click("RemoveButton");
    EXPECT_EQ(dialog->list()->topLevelItemCount(), 0);
    EXPECT_EQ(directoryNames(), QStringList{"Keep"});
}

} // namespace

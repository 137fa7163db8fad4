// Quick Setup over the demo content: Finish applies every page at once, Cancel nothing.

#include "tests/dialogs/dialogs_fixture.h"
#include "vantrel/dialogs/quicksetupwizard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

using namespace dialogstest;
using vantrel::dialogs::QuickSetupWizard;

namespace
{

class QuickSetupTest : public DialogTest
{
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        ASSERT_TRUE(engine()->seedDemo(vantrel::Engine::demoDirectory()));
        ASSERT_TRUE(rhtest::engine::waitForIdle(20000));
        for (const vantrel::DirEntry& e : engine()->directoryEntries()) {
            if (e.flags & VTDIRENTRY_REQUIRED)
                continue; // always subscribed
            if (engine()->isSubscribedEntry(e.id))
                samples << e.id;
            else if (!(e.visibility & 0x1))
                offered << e.id;
        }
        ASSERT_GE(samples.size(), 2);
        ASSERT_GE(offered.size(), 1);
    }
    QSet<uint32_t> subscribed() const
    {
        QSet<uint32_t> out;
        for (const vantrel::DirEntry& e : engine()->directoryEntries())
            if (engine()->isSubscribedEntry(e.id))
                out << e.id;
        return out;
    }
    QString writeOpml(const QString& extraFeed)
    {
        const QString path = rhtest::testRoot() + "/mine.opml";
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("<opml version=\"2.0\"><body><outline text=\"Mine\"><outline text=\"Extra\" "
                   "xmlUrl=\"" +
                   extraFeed.toUtf8() + "\"/></outline></body></opml>");
        return path;
    }
    static void uncheck(QuickSetupWizard& w, uint32_t entry)
    {
        auto* list = child<QListWidget>(&w, "sampleList");
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->data(Qt::UserRole).toUInt() == entry)
                list->item(i)->setCheckState(Qt::Unchecked);
    }

    QList<uint32_t> samples;
    QList<uint32_t> offered;
};

TEST_F(QuickSetupTest, CancelChangesNothingFinishAppliesEveryPageAtOnce)
{
    const QSet<uint32_t> before = subscribed();
    const int intervalBefore = engine()->updateIntervalSecs();
    {
        QuickSetupWizard cancelled;
        uncheck(cancelled, samples[1]);
        child<QLineEdit>(&cancelled, "importPathEdit")
            ->setText(writeOpml(serveFeed("/x.xml", "X")));
        cancelled.setWantsSubscribed(offered[0], true);
        child<QComboBox>(&cancelled, "intervalBox")->setCurrentIndex(0);
        cancelled.reject();
    }
    EXPECT_EQ(subscribed(), before);
    EXPECT_EQ(engine()->updateIntervalSecs(), intervalBefore);
    EXPECT_TRUE(messages.isEmpty());

    QuickSetupWizard wizard;
    wizard.show();
    // The required one is listed too, and cannot be unticked.
    ASSERT_GT(child<QListWidget>(&wizard, "sampleList")->count(), samples.size());
    uncheck(wizard, samples[0]);
    wizard.next();
    child<QLineEdit>(&wizard, "importPathEdit")
        ->setText(writeOpml(serveFeed("/extra.xml", "Extra")));
    EXPECT_TRUE(child<QLabel>(&wizard, "importSummaryLabel")->text().contains("1 new"));
    wizard.next();
    wizard.setWantsSubscribed(offered[0], true);
    wizard.next();
    auto* interval = child<QComboBox>(&wizard, "intervalBox");
    interval->setCurrentIndex(interval->findData(3600));
    child<QCheckBox>(&wizard, "backgroundBox")->setChecked(false);
    wizard.next();
    EXPECT_EQ(wizard.currentId(), QuickSetupWizard::ReadyPage);
    EXPECT_EQ(wizard.plannedChanges().size(), 5) << wizard.plannedChanges().join("|").toStdString();
    EXPECT_EQ(subscribed(), before); // nothing happens before Finish

    wizard.accept();
    QSet<uint32_t> expected = before;
    expected.remove(samples[0]);
    expected.insert(offered[0]);
    QSet<uint32_t> now = subscribed();
    EXPECT_EQ(now.size(), expected.size() + 1); // and the imported channel
    EXPECT_TRUE(now.contains(expected));
    EXPECT_NE(engine()->channelForAddress(server.url("/extra.xml").toString()), 0u);
    EXPECT_EQ(engine()->updateIntervalSecs(), 3600);
    EXPECT_FALSE(engine()->downloadEnabled());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("1 channel added")) << messages[0].toStdString();

    // A second run starts from what the first left.
    QuickSetupWizard again;
    auto* list = child<QListWidget>(&again, "sampleList");
    for (int i = 0; i < list->count(); ++i)
        EXPECT_NE(list->item(i)->data(Qt::UserRole).toUInt(), samples[0]); // removed: not listed
    EXPECT_FALSE(again.wantsSubscribed(samples[0]));
    EXPECT_TRUE(again.wantsSubscribed(offered[0]));
    EXPECT_EQ(child<QComboBox>(&again, "intervalBox")->currentData().toInt(), 3600);
    EXPECT_FALSE(child<QCheckBox>(&again, "backgroundBox")->isChecked());
    EXPECT_TRUE(again.plannedChanges().isEmpty());
}

} // namespace

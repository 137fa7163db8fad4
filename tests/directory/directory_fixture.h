#pragma once
// The channel directory tests: the real engine seeded by the test builder, the program's
// resources, a directory document with its list view, and helpers for entries and settings.

#include "resources/readhall_resources.h"
#include "src/directory/directorylist.h"
#include "src/directory/profilerdoc.h"
#include "src/directory/profilerview.h"
#include "src/framework/cmdtarget.h"
#include "tests/shared/shared_fixture.h"
#include "tests/support/engine_builder.h"
#include "vantrel/engctl.h"

#include <QDateTime>
#include <QHeaderView>
#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace directorytest
{

// Records the hint codes a document sends to its views.
class CHintRecorder : public CView
{
    Q_OBJECT
public:
    CHintRecorder() : CView(QStringLiteral("CHintRecorder")) {}
    void OnUpdate(CView*, LPARAM hint, CObject*) override { hints.push_back(hint); }
    std::vector<LPARAM> hints;
};

class DirectoryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        readhallInitResources();
        ASSERT_TRUE(rhtest::engine::start());
        CProfilerDoc::TakeDirectoryChanged();
    }
    void TearDown() override
    {
        rhtest::engine::waitForIdle();
        CProfilerDoc::SetTimeSource({});
    }

    // An unsubscribed entry of the engine's directory; its directory entry id.
    static uint32_t addEntry(const QString& name, const QString& categories = QString(),
                             uint32_t flags = 0, const QDateTime& date = QDateTime())
    {
        return rhtest::engine::addDirectoryEntry(name, categories, name + " news", flags, date);
    }
    // A subscribed entry; its directory entry id.
    static uint32_t addSubscribed(const QString& name, const QString& categories = QString(),
                                  uint32_t flags = 0)
    {
        const uint32_t id = addEntry(name, categories, flags);
        EXPECT_EQ(VTSubscribeToChannel(nullptr, id), 1);
        return id;
    }
    // A number of the directory list's settings section; -1 when absent.
    static void writeListSetting(const QString& name, uint32_t value)
    {
        sharedtest::setNumber(listKey(), name, value);
    }
    static long readListSetting(const QString& name)
    {
        return sharedtest::hasValue(listKey(), name)
                   ? long(sharedtest::storedNumber(listKey(), name))
                   : -1;
    }
    static QString listKey() { return sharedtest::readhallKey() + "\\Settings"; }
    // The channel the engine made of a subscribed entry; 0 when it is not subscribed.
    static uint32_t channelOf(uint32_t entry)
    {
        uint32_t channel = 0;
        return VTLookupSubscribedChannelID(entry, channel) == 1 ? channel : 0;
    }
    // The names of the list's rows, top to bottom.
    static QStringList rowNames(const CProfilerView* list)
    {
        QStringList out;
        for (int row = 0; row < list->GetModel()->rowCount(); ++row)
            out << list->GetModel()->EntryAt(row)->GetName();
        return out;
    }
    // Clicks the check box picture of the list's row.
    static void clickBox(CProfilerView* view, int row)
    {
        CDirectoryList* list = view->GetListCtrl();
        const QRect rect = list->visualRect(view->GetModel()->index(row, 0));
        const QPoint box(list->header()->sectionViewportPosition(0) + 7, rect.center().y());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, box);
    }
};

// A directory document loaded from the engine, with a list view over it.
class ListTest : public DirectoryTest
{
protected:
    void TearDown() override
    {
        closeView();
        DirectoryTest::TearDown();
    }
    // Loads the document and opens the view (shown, so that clicks land on rows).
    void open()
    {
        doc.Load(0);
        view = new CProfilerView;
        doc.AddView(view);
        view->resize(700, 400);
        view->show();
        view->OnInitialUpdate();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    }
    void closeView()
    {
        delete view;
        view = nullptr;
    }
    QStringList names() const { return rowNames(view); }
    QStringList selectedNames() const
    {
        QStringList out;
        for (const CSiteMain* entry : view->SelectedEntries())
            out << entry->GetName();
        return out;
    }
    int rowOf(const QString& name) const { return static_cast<int>(names().indexOf(name)); }
    void selectRows(const QStringList& wanted)
    {
        QItemSelectionModel* selection = view->GetListCtrl()->selectionModel();
        selection->clearSelection();
        for (const QString& name : wanted) {
            ASSERT_GE(rowOf(name), 0) << name.toStdString();
            selection->select(view->GetModel()->index(rowOf(name), 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    bool enabled(UINT id)
    {
        CCmdUI ui(id);
        view->UpdateCmdUI(&ui);
        return ui.isEnabled();
    }
    void clickCheckBox(const QString& name) { clickBox(view, rowOf(name)); }

    CProfilerDoc doc;
    CProfilerView* view = nullptr;
};

} // namespace directorytest

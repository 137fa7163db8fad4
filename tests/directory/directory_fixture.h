#pragma once
// Shared pieces of the channel directory tests: the real engine seeded by the test builder,
// the program's resources, a directory document with its list view (and a recording view
// beside it), and small helpers for entries and settings.

#include "src/directory/directorylist.h"
#include "src/directory/profilerdoc.h"
#include "src/directory/profilerview.h"
#include "src/framework/cmdtarget.h"
#include "tests/shared/shared_fixture.h"
#include "tests/support/engine_builder.h"

#include <QDateTime>
#include <QStringList>
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
    void SetUp() override;
    void TearDown() override;

    // An unsubscribed entry of the engine's directory; its directory entry id.
    static uint32_t addEntry(const QString& name, const QString& categories = QString(),
                             uint32_t flags = 0, const QDateTime& date = QDateTime());
    // A subscribed entry; its directory entry id.
    static uint32_t addSubscribed(const QString& name, const QString& categories = QString(),
                                  uint32_t flags = 0);
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
};

// A directory document loaded from the engine, with a list view and a recorder over it.
class ListTest : public DirectoryTest
{
protected:
    void TearDown() override;
    // Loads the document and opens the view (shown, so that clicks land on rows).
    void open();
    void closeView();
    // The names of the listed rows, top to bottom.
    QStringList names() const;
    int rowOf(const QString& name) const;
    void selectRows(const QStringList& names);
    bool enabled(UINT id);
    // Clicks the row's check box picture.
    void clickCheckBox(const QString& name);

    CProfilerDoc doc;
    CProfilerView* view = nullptr;
    CHintRecorder* recorder = nullptr;
};

} // namespace directorytest

#include "tests/directory/directory_fixture.h"

#include "resources/readhall_resources.h"
#include "tests/support/testenv.h"
#include "vantrel/engctl.h"

#include <QHeaderView>
#include <QTest>

namespace directorytest
{

void DirectoryTest::SetUp()
{
    readhallInitResources();
    ASSERT_TRUE(rhtest::engine::start());
    CProfilerDoc::TakeDirectoryChanged();
}

void DirectoryTest::TearDown()
{
    rhtest::engine::waitForIdle();
    CProfilerDoc::SetTimeSource({});
}

uint32_t DirectoryTest::addEntry(const QString& name, const QString& categories, uint32_t flags,
                                 const QDateTime& date)
{
    return rhtest::engine::addDirectoryEntry(name, categories, name + QStringLiteral(" news"),
                                             flags, date);
}

uint32_t DirectoryTest::addSubscribed(const QString& name, const QString& categories,
                                      uint32_t flags)
{
    const uint32_t id = addEntry(name, categories, flags);
    EXPECT_EQ(VTSubscribeToChannel(nullptr, id), 1);
    return id;
}

void ListTest::TearDown()
{
    closeView();
    DirectoryTest::TearDown();
}

void ListTest::open()
{
    doc.Load(0);
    view = new CProfilerView;
    recorder = new CHintRecorder;
    doc.AddView(view);
    doc.AddView(recorder);
    view->resize(700, 400);
    view->show();
    view->OnInitialUpdate();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
}

void ListTest::closeView()
{
    delete view;
    delete recorder;
    view = nullptr;
    recorder = nullptr;
}

QStringList ListTest::names() const
{
    QStringList out;
    const CDirectoryModel* model = view->GetModel();
    for (int row = 0; row < model->rowCount(); ++row)
        out << model->EntryAt(row)->GetName();
    return out;
}

int ListTest::rowOf(const QString& name) const
{
    return static_cast<int>(names().indexOf(name));
}

void ListTest::selectRows(const QStringList& rowNames)
{
    QItemSelectionModel* selection = view->GetListCtrl()->selectionModel();
    selection->clearSelection();
    for (const QString& name : rowNames) {
        const int row = rowOf(name);
        ASSERT_GE(row, 0) << name.toStdString();
        selection->select(view->GetModel()->index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

bool ListTest::enabled(UINT id)
{
    CCmdUI ui(id);
    view->UpdateCmdUI(&ui);
    return ui.isEnabled();
}

void ListTest::clickCheckBox(const QString& name)
{
    CDirectoryList* list = view->GetListCtrl();
    const QRect rect = list->visualRect(view->GetModel()->index(rowOf(name), 0));
    const QPoint box(list->header()->sectionViewportPosition(0) + 7, rect.center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, box);
}

} // namespace directorytest

// Channel directory window speed on a catalogue of 10,000 channels in 100 categories: loading
// it into the window (document, category pane and list), switching the tabs, switching the
// category, and sorting by a column; each laid out and drawn.

#include "resources/readhall_resources.h"
#include "src/channel/categoryview.h"
#include "src/directory/directorylist.h"
#include "src/directory/profilerdoc.h"
#include "src/directory/profilerview.h"
#include "vantrel/chandir.h"
#include "vantrel/core/engine.h"
#include "vantrel/engctl.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <memory>

namespace
{

constexpr int kEntries = 10000;
constexpr int kTopCategories = 20;
constexpr int kSubCategories = 5;
constexpr int kSubscribed = 200;

// An OPML catalogue: folders of folders, channels with scrambled names, a tenth of them new.
QString writeCatalogue(const QString& path)
{
    QByteArray xml = "<?xml version=\"1.0\"?><opml version=\"2.0\"><body>";
    int entry = 0;
    const int perFolder = kEntries / (kTopCategories * kSubCategories);
    for (int top = 0; top < kTopCategories; ++top) {
        xml += "<outline text=\"Topic " + QByteArray::number(top) + "\">";
        for (int sub = 0; sub < kSubCategories; ++sub) {
            xml += "<outline text=\"Area " + QByteArray::number(sub) + "\">";
            for (int i = 0; i < perFolder; ++i, ++entry) {
                const QByteArray n = QByteArray::number(entry);
                const QByteArray key = QByteArray::number((entry * 7919) % kEntries);
                xml += "<outline type=\"rss\" text=\"channel " + key + " of " +
                       (entry % 2 ? "Markets" : "weather") + "\" description=\"What channel " + n +
                       " is about\" xmlUrl=\"http://example.invalid/feed/" + n + "\"" +
                       (entry % 10 == 0 ? " created=\"Mon, 01 Jan 2035 10:00:00 GMT\"" : "") + "/>";
            }
            xml += "</outline>";
        }
        xml += "</outline>";
    }
    xml += "</body></opml>";
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(xml);
    return path;
}

// The engine with the catalogue (a few hundred channels subscribed), and the directory
// window's document with its category pane and list.
struct Fixture {
    QTemporaryDir data;
    std::unique_ptr<CProfilerDoc> doc;
    std::unique_ptr<CCategoryView> categories;
    std::unique_ptr<CProfilerView> list;

    Fixture()
    {
        vantrel::Engine::Options options;
        options.dataDir = data.path();
        options.seedDemo = false;
        options.startWorker = false;
        vantrel::Engine::start(options);
        ChanDir_Initialize();
        vantrel::Engine* engine = vantrel::Engine::instance();
        QString error;
        if (!engine->addCatalogue(writeCatalogue(data.path() + "/big.opml"), &error))
            qFatal("the catalogue was not read: %s", qPrintable(error));
        const auto entries = engine->directoryEntries();
        for (int i = 0; i < kSubscribed; ++i)
            engine->subscribe(entries[static_cast<size_t>(i * (kEntries / kSubscribed))].id);
        doc = std::make_unique<CProfilerDoc>();
        categories = std::make_unique<CCategoryView>();
        list = std::make_unique<CProfilerView>();
        doc->AddView(categories.get());
        doc->AddView(list.get());
        categories->setGeometry(0, 0, 200, 600);
        list->setGeometry(200, 0, 900, 600);
        categories->show();
        list->show();
        doc->Load(1);
        QApplication::processEvents();
    }
    ~Fixture()
    {
        list.reset();
        categories.reset();
        doc.reset();
        ChanDir_Uninitialize();
        vantrel::Engine::stop();
    }
};

std::unique_ptr<Fixture> g_fixture;

Fixture& fixture()
{
    if (!g_fixture)
        g_fixture = std::make_unique<Fixture>();
    return *g_fixture;
}

void BM_LoadCatalogue10k(benchmark::State& state)
{
    Fixture& f = fixture();
    f.list->OnTabChanged(0);
    for (auto _ : state) {
        f.doc->Load(1); // the engine's list, the category tree, the tree pane and the list
        QApplication::processEvents(); // laid out and drawn
    }
    if (f.list->GetModel()->rowCount() != kEntries)
        state.SkipWithError("not every entry was listed");
    state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_LoadCatalogue10k)->Unit(benchmark::kMillisecond);

void BM_SwitchTab10k(benchmark::State& state)
{
    Fixture& f = fixture();
    f.categories->GetTreeCtrl()->setCurrentItem(f.categories->GetTreeCtrl()->topLevelItem(0));
    int tab = 0;
    for (auto _ : state) {
        tab = (tab + 1) % 3;
        f.list->OnTabChanged(tab); // the category pane answers, the list refills
        QApplication::processEvents();
    }
    f.list->OnTabChanged(0);
    if (f.list->GetModel()->rowCount() != kEntries)
        state.SkipWithError("the All tab does not list every entry");
}
BENCHMARK(BM_SwitchTab10k)->Unit(benchmark::kMillisecond);

void BM_SwitchCategory10k(benchmark::State& state)
{
    Fixture& f = fixture();
    f.list->OnTabChanged(0);
    QTreeWidget* tree = f.categories->GetTreeCtrl();
    QTreeWidgetItem* all = tree->topLevelItem(0);
    // Between "All" (every entry) and one top category (500 entries).
    QTreeWidgetItem* topic = all->child(0);
    bool onTopic = false;
    for (auto _ : state) {
        onTopic = !onTopic;
        tree->setCurrentItem(onTopic ? topic : all);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_SwitchCategory10k)->Unit(benchmark::kMillisecond);

void BM_SortByColumn10k(benchmark::State& state)
{
    Fixture& f = fixture();
    f.list->OnTabChanged(0);
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        f.list->OnColumnClick(column);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_SortByColumn10k)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VANTREL_NO_DEMO", "1");
    // The list reads and writes its settings: keep them away from the user's own.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toUtf8());
    QApplication app(argc, argv);
    readhallInitResources();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    g_fixture.reset();
    benchmark::Shutdown();
    return 0;
}

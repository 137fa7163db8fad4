// Writes a store of many stories for the start-up benchmarks:
//   vantrel_make_store DATA_DIR CHANNELS STORIES_PER_CHANNEL
// The channels have no feed address (nothing is downloaded when a program starts on the
// store); each story has a headline, a link, a category of 17, a time spread over four weeks
// and a summary of about 500 bytes. An existing store in DATA_DIR is refused.

#include "vantrel/core/engine.h"
#include "vantrel/core/store.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool okChannels = false;
    bool okStories = false;
    const int channels = args.value(2).toInt(&okChannels);
    const int perChannel = args.value(3).toInt(&okStories);
    if (args.size() != 4 || !okChannels || !okStories || channels < 1 || perChannel < 0) {
        std::fprintf(stderr, "usage: vantrel_make_store DATA_DIR CHANNELS STORIES_PER_CHANNEL\n");
        return 2;
    }
    const QString dir = args.at(1);
    if (QFileInfo::exists(dir + QStringLiteral("/vantrel.db"))) {
        std::fprintf(stderr, "vantrel_make_store: %s already holds a store\n", qPrintable(dir));
        return 1;
    }
    std::vector<uint32_t> ids;
    {
        vantrel::Engine::Options options;
        options.dataDir = dir;
        options.seedDemo = false;
        options.startWorker = false;
        vantrel::Engine engine(options);
        if (!engine.isOpen()) {
            std::fprintf(stderr, "vantrel_make_store: %s\n", qPrintable(engine.engineStatus()));
            return 1;
        }
        for (int c = 0; c < channels; ++c) {
            vantrel::ChannelSeed channel;
            channel.name = QStringLiteral("Channel %1").arg(c + 1);
            channel.category = QStringLiteral("Benchmark");
            const uint32_t id = engine.addChannel(channel);
            if (id == 0) {
                std::fprintf(stderr, "vantrel_make_store: a channel could not be added\n");
                return 1;
            }
            ids.push_back(id);
        }
    }
    vantrel::Store store(dir + QStringLiteral("/vantrel.db"));
    vantrel::StoreContents contents;
    if (!store.open(contents)) {
        std::fprintf(stderr, "vantrel_make_store: %s\n", qPrintable(store.lastError()));
        return 1;
    }
    const QString filler = QStringLiteral(
        " Markets moved as traders weighed the latest figures on prices, jobs and trade, while "
        "forecasters warned of storms along the coast and rivers rising inland. Officials said "
        "more details would follow later in the day, and readers sent in their own reports from "
        "the towns along the valley, where schools stayed open and trains ran on time.");
    const qint64 start = 1796000000; // December 2026
    int serial = 0;
    for (size_t c = 0; c < ids.size(); ++c) {
        vantrel::Store::Transaction t(store);
        for (int i = 0; i < perChannel; ++i, ++serial) {
            vantrel::Story s;
            s.number = uint32_t(i + 1);
            s.bundletId = s.number;
            s.identity = QStringLiteral("http://bench.invalid/%1/%2").arg(ids[c]).arg(i);
            s.link = s.identity;
            // Headlines in a scrambled order, so that sorting them is real work.
            s.headline = QStringLiteral("Story %1 about markets and weather")
                             .arg((qint64(serial) * 7919) % 1000003);
            s.summary = QStringLiteral("<p>Summary of story %1.").arg(serial) + filler +
                        QStringLiteral("</p>");
            s.category = QStringLiteral("World/Region %1").arg(serial % 17);
            s.published = start + (qint64(serial) * 7907) % (28 * 86400);
            s.received = s.published;
            s.read = serial % 3 == 0 ? 1 : 0;
            store.saveStory(t, ids[c], s);
        }
        for (auto& channel : contents.channels) {
            if (channel->id == ids[c]) {
                channel->nextStory = uint32_t(perChannel + 1);
                store.saveChannel(t, *channel);
            }
        }
        if (!t.commit()) {
            std::fprintf(stderr, "vantrel_make_store: %s\n", qPrintable(store.lastError()));
            return 1;
        }
    }
    std::printf("%d channels of %d stories in %s\n", channels, perChannel, qPrintable(dir));
    return 0;
}

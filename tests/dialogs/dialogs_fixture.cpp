#include "tests/dialogs/dialogs_fixture.h"

#include "vantrel/dialogs/dialogparts.h"

#include <QDateTime>

namespace dialogstest
{

QByteArray feed(const QString& title, const QStringList& headlines)
{
    QString xml = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>" +
                  title.toHtmlEscaped() +
                  "</title><link>http://example.invalid/home</link>"
                  "<description>About " +
                  title.toHtmlEscaped() + "</description>";
    const QDateTime newest(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);
    for (int i = 0; i < headlines.size(); ++i)
        xml += QStringLiteral("<item><guid>%1</guid><title>%1</title><pubDate>%2</pubDate></item>")
                   .arg(headlines[i].toHtmlEscaped(),
                        newest.addSecs(-3600 * i).toString(Qt::RFC2822Date));
    return (xml + "</channel></rss>").toUtf8();
}

QByteArray pageLinking(const QStringList& hrefs)
{
    QByteArray html = "<!DOCTYPE html><html><head><title>A site</title>";
    int n = 0;
    for (const QString& href : hrefs)
        html += "<link rel=\"alternate\" type=\"application/rss+xml\" title=\"Feed " +
                QByteArray::number(++n) + "\" href=\"" + href.toUtf8() + "\">";
    return html + "</head><body><p>Hello</p></body></html>";
}

void DialogTest::SetUp()
{
    ASSERT_TRUE(rhtest::engine::start());
    vantrel::dialogs::setMessageHook(
        [this](QMessageBox::Icon, const QString&, const QString& text, const QString& details) {
            messages << (details.isEmpty() ? text : text + "\n" + details);
        });
}

void DialogTest::TearDown()
{
    vantrel::dialogs::setMessageHook({});
}

QString DialogTest::serveFeed(const QString& path, const QString& title, int items)
{
    QStringList headlines;
    for (int i = 1; i <= items; ++i)
        headlines << QStringLiteral("Story %1").arg(i);
    server.setRoute(path, feed(title, headlines), "application/rss+xml");
    return server.url(path).toString();
}

uint32_t DialogTest::subscribe(const QString& address, const QString& name,
                               const QString& categories)
{
    vantrel::NewChannel c;
    c.address = address;
    c.name = name;
    c.categories = categories;
    uint32_t id = 0;
    EXPECT_TRUE(engine()->subscribeAddress(c, &id));
    EXPECT_TRUE(rhtest::engine::waitForIdle());
    return id;
}

} // namespace dialogstest

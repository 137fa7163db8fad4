#include "src/app/commandline.h"

#include "src/app/readhallapp.h"
#include "src/platform/runningcopy.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtGlobal>

namespace
{

// Qt's standard options, which the application object reads and removes; Qt takes them with
// one dash or two. The first group takes a value (as the next argument or after "=").
constexpr const char* QT_OPTIONS_WITH_VALUE[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "style",  "stylesheet",
    "display",     "geometry",           "title",         "icon",   "name",
    "visual",      "qmljsdebugger"};
constexpr const char* QT_FLAG_OPTIONS[] = {"reverse", "widgetcount", "nograb",
                                           "dograb",  "sync",        "testability"};

enum class QtOption { None, Flag, WithValue, WithValueAttached };

QtOption qtOption(const QString& argument)
{
    if (!argument.startsWith(QLatin1Char('-')))
        return QtOption::None;
    QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    const int equals = name.indexOf(QLatin1Char('='));
    const bool attached = equals >= 0;
    if (attached)
        name.truncate(equals);
    for (const char* option : QT_OPTIONS_WITH_VALUE) {
        if (name == QLatin1String(option))
            return attached ? QtOption::WithValueAttached : QtOption::WithValue;
    }
    for (const char* option : QT_FLAG_OPTIONS) {
        if (!attached && name == QLatin1String(option))
            return QtOption::Flag;
    }
    return QtOption::None;
}

// The scheme of an address ("feed" of "feed://host/x"), or an empty text when the argument
// has none. A scheme has two letters at least, so that "c:\..." stays a path.
QString schemeOf(const QString& text)
{
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]+):"));
    const QRegularExpressionMatch match = scheme.match(text);
    return match.hasMatch() ? match.captured(1).toLower() : QString();
}

QUrl webAddress(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return QUrl();
    return url;
}

QUrl existingFile(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return QUrl();
    return QUrl::fromLocalFile(QDir::cleanPath(info.absoluteFilePath()));
}

} // namespace

QUrl FeedAddressFromArgument(const QString& argument)
{
    const QString text = argument.trimmed();
    const QString scheme = schemeOf(text);
    if (scheme.isEmpty())
        return existingFile(text);
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return webAddress(text);
    if (scheme == QLatin1String("feed") || scheme == QLatin1String("feeds")) {
        // "feed:https://host/path" and "feed://https://host/path" wrap a whole web address;
        // "feed://host/path" names the feed's own address. Either way the link leads to the
        // web, never to a local file.
        const QString rest = text.mid(scheme.size() + 1);
        const QString inner = rest.startsWith(QLatin1String("//")) ? rest.mid(2) : rest;
        const QString innerScheme = schemeOf(inner);
        if (innerScheme == QLatin1String("http") || innerScheme == QLatin1String("https"))
            return webAddress(inner);
        if (!rest.startsWith(QLatin1String("//")))
            return QUrl();
        return webAddress((scheme == QLatin1String("feeds") ? QStringLiteral("https:")
                                                            : QStringLiteral("http:")) +
                          rest);
    }
    if (scheme == QLatin1String("file")) {
        const QUrl url(text, QUrl::StrictMode);
        if (!url.isValid() || !url.isLocalFile() || !url.host().isEmpty())
            return QUrl();
        return existingFile(url.toLocalFile());
    }
    return QUrl();
}

QList<QUrl> HandFeedAddressesToRunningCopy(const QList<QUrl>& addresses)
{
    QList<QUrl> refused;
    for (const QUrl& address : addresses) {
        if (!platform::handAddressToRunningCopy(QString::fromLatin1(READHALL_MAIN_WINDOW_CLASS),
                                                address.toString(QUrl::FullyEncoded)))
            refused << address;
    }
    return refused;
}

ReadhallCommandLine ParseReadhallCommandLine(const QStringList& arguments)
{
    ReadhallCommandLine result;
    auto fail = [&result](const QString& error) {
        result.action = ReadhallCommandLine::Action::Fail;
        result.error = error;
        return result;
    };
    QStringList switchArguments;
    bool optionsEnded = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (!optionsEnded) {
            if (argument == QLatin1String("--")) {
                optionsEnded = true;
                continue;
            }
            if (argument == QLatin1String("--help") || argument == QLatin1String("-h") ||
                argument == QLatin1String("-help")) {
                result.action = ReadhallCommandLine::Action::ShowHelp;
                return result;
            }
            if (argument == QLatin1String("--version")) {
                result.action = ReadhallCommandLine::Action::ShowVersion;
                return result;
            }
            if (argument == QLatin1String("--startup-benchmark")) {
                result.startupBenchmark = true;
                continue;
            }
            if (argument == QLatin1String("--screenshot") ||
                argument.startsWith(QLatin1String("--screenshot="))) {
                QString file = argument.mid(int(qstrlen("--screenshot=")));
                if (argument == QLatin1String("--screenshot"))
                    file = i + 1 < arguments.size() ? arguments.at(++i) : QString();
                if (file.isEmpty())
                    return fail(QStringLiteral("option '--screenshot' needs a file name"));
                result.screenshotFile = QFileInfo(file).absoluteFilePath();
                continue;
            }
            switch (qtOption(argument)) {
            case QtOption::WithValue:
                ++i; // the value belongs to the option
                continue;
            case QtOption::Flag:
            case QtOption::WithValueAttached:
                continue;
            case QtOption::None:
                break;
            }
            if (argument.startsWith(QLatin1String("--"))) {
                // "--alertview" holds the switch "-alertview": it opens that window.
                if (CReadhallApp::CommandFromCommandLine(argument) == 0)
                    return fail(QStringLiteral("unknown option '%1'").arg(argument));
                switchArguments << argument;
                continue;
            }
        }

        if (!schemeOf(argument).isEmpty()) {
            const QUrl address = FeedAddressFromArgument(argument);
            if (address.isValid())
                result.addresses << address;
            else
                result.warnings << QStringLiteral("'%1' is not a feed address (feed:, feeds:, "
                                                  "http:, https: or a local file); ignored")
                                       .arg(argument);
            continue;
        }
        if (!argument.startsWith(QLatin1Char('-'))) {
            const QUrl file = existingFile(argument);
            if (file.isValid()) {
                result.addresses << file;
                continue;
            }
        }
        switchArguments << argument;
        if (CReadhallApp::CommandFromCommandLine(argument) == 0)
            result.warnings << QStringLiteral("'%1' is neither a window switch nor a feed address "
                                              "or file; ignored")
                                   .arg(argument);
    }
    result.switchText = switchArguments.join(QLatin1Char(' '));
    return result;
}

QString ReadhallUsageText()
{
    return QStringLiteral(
        "Usage: readhall [options] [window switch] [feed address or file]\n"
        "\n"
        "Readhall, the reading client of the Vantrel push-content system: the subscribed\n"
        "channels in categories, their headlines, and the chosen story in an embedded browser.\n"
        "Only one copy runs at a time; starting another one brings the running copy forward\n"
        "and hands it the window switch.\n"
        "\n"
        "Options:\n"
        "  -h, --help                       Show this help and exit.\n"
        "  --version                        Show the version and exit.\n"
        "  --screenshot FILE                Start as usual, write a PNG picture of the main\n"
        "                                   window to FILE once it shows its first window,\n"
        "                                   and exit.\n"
        "\n"
        "Window switches:\n"
        "  /channelview, -channelview       Open the channel window.\n"
        "  /searchview, -searchview         Open the search window.\n"
        "  /alertview, -alertview           Open the alerts window.\n"
        "  /directoryview, -directoryview   Open the channel directory window.\n"
        "\n"
        "Feed address or file:\n"
        "  A feed link (feed:, feeds:, http: or https:) or a feed file (RSS or Atom), as the\n"
        "  desktop passes it when a feed is opened with Readhall.\n"
        "\n"
        "Qt's standard options work as in every Qt program, for example -platform NAME,\n"
        "-style NAME, -reverse and -qwindowgeometry WIDTHxHEIGHT+X+Y.\n"
        "\n"
        "Files: the settings are kept in $XDG_CONFIG_HOME/Vantrel/user.reg (by default\n"
        "~/.config), the engine's channels and stories in $XDG_DATA_HOME/vantrel (by\n"
        "default ~/.local/share).\n");
}

QString ReadhallVersionText(const QString& version)
{
    return QStringLiteral("Readhall %1\nQt %2\n").arg(version, QString::fromLatin1(qVersion()));
}

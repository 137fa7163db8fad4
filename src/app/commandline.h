#pragma once
// The program's command line, read before the application object exists so that --help and
// --version work without a display:
//
//   readhall [options] [window switch] [feed address or file]
//
// Every argument is one of: an option of ours (--help, --version, --screenshot FILE), one of
// Qt's standard options (skipped here with its value; the application object reads them), a
// feed address (an argument with a URL scheme, or the path of an existing file), or text
// in which the window switches ("/channelview", "-alertview", ...) are looked for. An argument
// with a URL scheme is never taken for a window switch, whatever its path holds.

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

struct ReadhallCommandLine {
    enum class Action {
        Run,         // start the program
        ShowHelp,    // print the usage text, exit 0
        ShowVersion, // print the version, exit 0
        Fail,        // print the error, exit 2
    };

    Action action = Action::Run;
    QString error;                 // Fail: what is wrong, in a sentence
    QString screenshotFile;        // --screenshot: the picture to write, an absolute path
    bool startupBenchmark = false; // --startup-benchmark (not in the usage text: a tool's option)
    QString switchText;            // the arguments the window switches are looked for in
    QList<QUrl> addresses;         // feed addresses, each http:, https: or file:
    QStringList warnings;          // arguments that were ignored, each with the reason
};

// Reads the arguments that follow the program name.
ReadhallCommandLine ParseReadhallCommandLine(const QStringList& arguments);

// A feed address as the desktop passes it: "feed://host/path" (read as http),
// "feeds://host/path" (https), "feed:https://host/path" or "feed://https://host/path", an
// http or https address, a file: address or the path of an existing file, each given back as
// an http, https or file URL. Anything else, a feed link that leads to a local file among
// them, gives an invalid URL.
QUrl FeedAddressFromArgument(const QString& argument);

// Hands each address to the copy of Readhall that runs already, which offers it in Add Using
// Address; returns the addresses it did not take.
QList<QUrl> HandFeedAddressesToRunningCopy(const QList<QUrl>& addresses);

// What --help and --version print.
QString ReadhallUsageText();
QString ReadhallVersionText(const QString& version);

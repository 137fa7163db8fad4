#include "src/app/helpviewer.h"

#include "src/platform/messagebox.h"
#include "src/platform/shell.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace
{
constexpr char kFallbackHelp[] = ":/help/rdhall.html";
}

QUrl HelpFileUrl(const QString& helpFile)
{
    if (helpFile.startsWith(QLatin1String(":/")))
        return QUrl(QStringLiteral("qrc") + helpFile);
    if (helpFile.startsWith(QLatin1String("qrc:")))
        return QUrl(helpFile);
    return QUrl::fromLocalFile(QFileInfo(helpFile).absoluteFilePath());
}

CHelpViewer::CHelpViewer(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(tr("Readhall Help"));
    setAttribute(Qt::WA_DeleteOnClose, true);
    resize(720, 560);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenLinks(false);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &CHelpViewer::onAnchorClicked);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* back = buttons->addButton(tr("&Back"), QDialogButtonBox::ActionRole);
    QPushButton* forward = buttons->addButton(tr("&Forward"), QDialogButtonBox::ActionRole);
    QPushButton* contents = buttons->addButton(tr("&Contents"), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(contents, &QPushButton::clicked, this, [this] { m_browser->setSource(m_home); });
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_browser, 1);
    layout->addWidget(buttons);
}

bool CHelpViewer::OpenHelpFile(const QString& helpFile)
{
    QString file = helpFile;
    if (file.isEmpty() || !QFile::exists(file))
        file = QString::fromLatin1(kFallbackHelp);
    if (!QFile::exists(file)) {
        m_home = QUrl();
        m_browser->setHtml(tr("<h2>Help is not available</h2>"
                              "<p>The help file of Readhall could not be found.</p>"));
        return false;
    }
    m_home = HelpFileUrl(file);
    m_browser->setSource(m_home);
    return true;
}

void CHelpViewer::onAnchorClicked(const QUrl& url)
{
    const QUrl target = m_browser->source().resolved(url);
    const QString scheme = target.scheme();
    if (scheme == QLatin1String("qrc") || scheme == QLatin1String("file") || scheme.isEmpty()) {
        m_browser->setSource(target);
        return;
    }
    // Web and mail addresses open with the desktop's handler; without one the person is told.
    if (!ShellOpen(target.toString()))
        MessageBox(this, tr("The desktop has no program to open %1.").arg(target.toDisplayString()),
                   windowTitle(), MB_OK | MB_ICONEXCLAMATION);
}

CHelpViewer* ShowHelpViewer(QWidget* parent, const QString& helpFile)
{
    static QPointer<CHelpViewer> viewer;
    if (!viewer || viewer->parentWidget() != parent)
        viewer = new CHelpViewer(parent);
    viewer->OpenHelpFile(helpFile);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return viewer;
}

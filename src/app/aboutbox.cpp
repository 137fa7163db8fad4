#include "src/app/aboutbox.h"

#include "src/app/maincommands.h"
#include "src/platform/resources.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

QLabel* pictureLabel(UINT bitmapId, QWidget* parent, const QString& name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    const QPixmap picture = LoadBitmapResource(bitmapId);
    label->setPixmap(picture);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (!picture.isNull())
        label->setFixedSize(picture.deviceIndependentSize().toSize());
    return label;
}

QLabel* noticeLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QDialogButtonBox* okButton(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, Qt::Horizontal, dialog);
    buttons->setCenterButtons(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    return buttons;
}

} // namespace

QString CAboutDlg::VersionText()
{
    QString format = LoadString(IDS_ABOUT_VERSION);
    if (format.isEmpty())
        format = QStringLiteral("Vantrel Readhall 5.0        (Build %s)");
    return format.replace(QLatin1String("%s"), QString::fromLatin1(READHALL_BUILD));
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("About Vantrel Readhall"));
    // The dialog face colour behind the pictures and texts.
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    auto* programGroup = new QGroupBox(this);
    auto* programLayout = new QHBoxLayout(programGroup);
    programLayout->addWidget(
        pictureLabel(IDB_ABOUT_LOGO, programGroup, QStringLiteral("Picture1001")), 0, Qt::AlignTop);
    auto* programTexts = new QVBoxLayout;
    m_version = new QLabel(VersionText(), programGroup);
    m_version->setObjectName(QStringLiteral("VersionText"));
    QFont bold = m_version->font();
    bold.setBold(true);
    m_version->setFont(bold);
    programTexts->addWidget(m_version);
    programTexts->addWidget(
        noticeLabel(tr("The reading client of the Vantrel push-content system."), programGroup));
    programTexts->addStretch(1);
    programLayout->addLayout(programTexts, 1);

    auto* engineGroup = new QGroupBox(this);
    auto* engineLayout = new QHBoxLayout(engineGroup);
    engineLayout->addWidget(
        pictureLabel(IDB_ABOUT_ENGINE, engineGroup, QStringLiteral("Picture1010")), 0,
        Qt::AlignTop);
    engineLayout->addWidget(
        noticeLabel(tr("Readhall shows the channels and stories that the Vantrel engine "
                       "downloads for you. It is free software, built with Qt and SQLite; see "
                       "the licence files that came with the program for the terms of use."),
                    engineGroup),
        1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(programGroup);
    layout->addWidget(engineGroup);
    layout->addWidget(okButton(this));
    setMinimumWidth(440);
}

CAboutJavaDlg::CAboutJavaDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutJavaDialog"));
    setWindowTitle(QStringLiteral("About Java"));
    auto* top = new QHBoxLayout;
    top->addWidget(pictureLabel(IDB_ABOUT_JAVA, this, QStringLiteral("Picture405")), 0,
                   Qt::AlignTop);
    top->addWidget(
        noticeLabel(tr("Channels may carry Java content that runs in the desktop's own Java "
                       "virtual machine, when one is installed. The Java virtual machine is "
                       "not part of Readhall: it belongs to its makers and is used under "
                       "their licence. Readhall neither ships nor changes it."),
                    this),
        1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(okButton(this));
    setMinimumWidth(420);
}

#include "about/qt/frmAbout.h"

#include "about/AboutText.h"
#include "common/qt/DialogFont.h"
#include "common/qt/Guard.h"
#include "common/qt/Logging.h"
#include "common/qt/QtTwips.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

namespace tessaly::about {

QString VersionLine(int major, int minor, int revision)
{
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

QString ProgramVersionLine()
{
    return VersionLine(TESSALY_VERSION_MAJOR, TESSALY_VERSION_MINOR, TESSALY_VERSION_REVISION);
}

} // namespace tessaly::about

namespace {

using tessaly::DialogFont;
using tessaly::TwipsToPixels;

QPointer<frmAbout>& Shared()
{
    static QPointer<frmAbout> instance;
    return instance;
}

} // namespace

frmAbout::frmAbout()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFont(DialogFont(false));
    setFixedSize(TwipsToPixels(tessaly::about::kClientWidthTwips),
                 TwipsToPixels(tessaly::about::kClientHeightTwips));
    setSizeGripEnabled(false);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setGeometry(tessaly::TwipsQRect(135, 60, 720, 720));
    picIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    lblTitle = new QLabel(this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setGeometry(tessaly::TwipsQRect(1005, 45, 3885, 480));
    lblTitle->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setGeometry(tessaly::TwipsQRect(1005, 585, 3885, 225));

    lblDescription = new QLabel(QString::fromUtf8(tessaly::about::kDescription), this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setGeometry(tessaly::TwipsQRect(1005, 930, 4590, 810));
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Text1 = new QPlainTextEdit(QString::fromUtf8(tessaly::about::kAcknowledgement), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(tessaly::TwipsQRect(135, 1860, 5490, 1290));
    Text1->setFont(DialogFont(true));
    Text1->setReadOnly(true);
    Text1->setFocusPolicy(Qt::NoFocus);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(tessaly::TwipsQRect(4365, 3285, 1260, 345));
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    Form_Load();
    cmdOK->setFocus();
}

frmAbout::~frmAbout() = default;

void frmAbout::Form_Load()
{
    const QString title = QString::fromLatin1(tessaly::about::kApplicationTitle);
    setWindowTitle(QStringLiteral("About ") + title);
    lblVersion->setText(tessaly::about::ProgramVersionLine());
    lblTitle->setText(title);
    picIcon->setPixmap(QApplication::windowIcon().pixmap(picIcon->size()));
    // Topmost without moving or resizing: above every normal window, the main window included.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void frmAbout::cmdOK_Click()
{
    // Unload: WA_DeleteOnClose makes the next opening a fresh load. Escape and the close box
    // take the same way through reject().
    accept();
}

void frmAbout::ShowShared()
{
    tessaly::Guarded(lcAbout, "showing the About box", [] {
        QPointer<frmAbout>& instance = Shared();
        if (!instance)
            instance = new frmAbout();
        instance->show();
        instance->raise();
        instance->activateWindow();
    });
}

frmAbout* frmAbout::SharedInstance()
{
    return Shared();
}

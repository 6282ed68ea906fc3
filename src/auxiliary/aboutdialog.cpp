#include "auxiliary/aboutdialog.h"

#include "auxiliary/versioncheckserver.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QUrl AboutDialog::homePage()
{
    return VersionCheckServer::builtIn().homePage;
}

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About Scrapkeeper"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *picture = new QLabel;
    picture->setPixmap(QApplication::windowIcon().pixmap(48, 48));
    auto *name = new QLabel(QStringLiteral("Scrapkeeper"));
    QFont big = name->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.5);
    name->setFont(big);
    auto *version = new QLabel(QStringLiteral("Version 2.3"));
    version->setObjectName(QStringLiteral("Version"));
    // The address is ours, not outside input; only it is shown as a link.
    const QString address = homePage().toString();
    auto *link = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(address.toHtmlEscaped(), address.toHtmlEscaped()));
    link->setObjectName(QStringLiteral("url"));
    link->setTextFormat(Qt::RichText);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setOpenExternalLinks(false);
    link->setAccessibleName(QStringLiteral("Home page"));
    connect(link, &QLabel::linkActivated, this, [this](const QString &url) { emit homePageRequested(QUrl(url)); });

    auto *text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(version);
    text->addWidget(new QLabel(QStringLiteral("Keeps what you copy, and pastes it back where you type.")));
    text->addWidget(link);
    auto *top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

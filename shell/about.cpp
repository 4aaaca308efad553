#include "about.h"
#include "artwork.h"
#include "ui/msg.h"
#include "startup.h"

#include "data/globals.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmAbout::frmAbout(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("关于 ") + Msg::appTitle());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto *logo = new QLabel(this);
    logo->setPixmap(Artwork::loginBanner(QSize(360, 80)));
    auto *version = new QLabel(QStringLiteral("版本：") + G.AppVersion, this);
    version->setObjectName(QStringLiteral("Version"));
    auto *edition = new QLabel(QStringLiteral("版别：") + G.AppEdition, this);
    edition->setObjectName(QStringLiteral("Edition"));
    // Where this copy keeps its books, pictures and exports.
    auto *books = new QLabel(QStringLiteral("账套文件夹：") + QDir::toNativeSeparators(G.AppPath), this);
    books->setObjectName(QStringLiteral("Books"));
    books->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *site = new QLabel(QStringLiteral("网站：") + Shell::webSite(), this);
    auto *notice = new QLabel(QStringLiteral("本软件受著作权法保护，未经许可不得复制、传播。"), this);

    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(logo);
    for (QLabel *l : {version, edition, books, site, notice}) layout->addWidget(l);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

#include "frmbimage.h"
#include "backgroundfile.h"
#include "ui/dialogbuttons.h"
#include "ui/msg.h"
#include "ui/pictureio.h"

#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmBImage::frmBImage(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmBImage"));
    setWindowTitle(QStringLiteral("更换背景"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto *group = new QGroupBox(QStringLiteral("选择背景"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    m_file = new QLineEdit(group);
    m_file->setObjectName(QStringLiteral("Edit1"));
    m_file->setReadOnly(true);
    m_file->setMinimumWidth(360);
    auto *open = new QPushButton(QStringLiteral("打开"), group);
    open->setObjectName(QStringLiteral("Button1"));
    open->setAutoDefault(false);
    DialogButtons::pressOnEnter(open);
    auto *label = new QLabel(QStringLiteral("选择背景："), group);
    label->setBuddy(open);
    auto *row = new QHBoxLayout(group);
    row->addWidget(label);
    row->addWidget(m_file, 1);
    row->addWidget(open);

    const DialogButtons::Buttons b = DialogButtons::create(this, DialogButtons::EnterIgnored, {}, QStringLiteral("保存"));
    auto *clear = new QPushButton(QStringLiteral("清除"), this);
    clear->setObjectName(QStringLiteral("BitBtn3"));
    clear->setAutoDefault(false);
    DialogButtons::pressOnEnter(clear);
    b.row->insertWidget(b.row->indexOf(b.quit), clear);
    connect(open, &QPushButton::clicked, this, &frmBImage::Button1Click);
    connect(b.action, &QPushButton::clicked, this, &frmBImage::BitBtn1Click);
    connect(clear, &QPushButton::clicked, this, &frmBImage::BitBtn3Click);
    setTabOrder(open, b.action);
    setTabOrder(b.action, clear);
    setTabOrder(clear, b.quit);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(b.row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    open->setFocus();
}

void frmBImage::Button1Click()
{
    const QString file = Msg::openFile(this, QStringLiteral("打开"), QDir::homePath(), PictureIO::openFilter());
    m_file->setText(QDir::toNativeSeparators(file));
}

void frmBImage::BitBtn1Click()
{
    if (m_file->text().isEmpty()) return;
    if (const QString e = BackgroundFile::install(QDir::fromNativeSeparators(m_file->text())); !e.isEmpty()) {
        Msg::error(this, e);
        return;
    }
    Msg::info(this, QStringLiteral("背景图保存成功！请退出软件后重新登录！"));
    accept();
}

void frmBImage::BitBtn3Click()
{
    if (!Msg::ask(this, QStringLiteral("确认要清除背景图吗？该清除将不可恢复！"), QStringLiteral("清除"), true)) return;
    if (const QString e = BackgroundFile::clear(); !e.isEmpty()) {
        Msg::error(this, e);
        return;
    }
    Msg::info(this, QStringLiteral("背景图清除成功！请退出软件后重新登录！"));
    accept();
}

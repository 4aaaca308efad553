#include "frmbackup.h"
#include "ui/dialogbuttons.h"
#include "ui/msg.h"
#include "startup.h"

#include "data/dbfile.h"
#include "data/dm.h"
#include "data/globals.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString g_lastFolder; // the folder chosen last in this run

QString startFolder() { return g_lastFolder.isEmpty() ? QDir::homePath() : g_lastFolder; }
}

BackupPathDialog::BackupPathDialog(QWidget *parent, const QString &title, const QStringList &notes,
                                   const QString &pathLabel, const QString &actionText)
    : QDialog(parent)
{
    setWindowTitle(title);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    auto *layout = new QVBoxLayout(this);
    int n = 0;
    for (const QString &text : notes) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QStringLiteral("Label%1").arg(++n));
        layout->addWidget(l);
    }
    auto *group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    m_path = new QLineEdit(group);
    m_path->setObjectName(QStringLiteral("Edit1"));
    m_path->setReadOnly(true);
    m_path->setMinimumWidth(360);
    m_choose = new QPushButton(QStringLiteral("选择路径"), group);
    m_choose->setObjectName(QStringLiteral("Button1"));
    m_choose->setAutoDefault(false);
    DialogButtons::pressOnEnter(m_choose);
    auto *label = new QLabel(pathLabel, group);
    label->setBuddy(m_choose);
    auto *row = new QHBoxLayout(group);
    row->addWidget(label);
    row->addWidget(m_path, 1);
    row->addWidget(m_choose);
    layout->addWidget(group);

    const DialogButtons::Buttons b = DialogButtons::create(this, DialogButtons::EnterIgnored, {}, actionText);
    layout->addLayout(b.row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(m_choose, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(b.action, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    setTabOrder(m_choose, b.action);
    setTabOrder(b.action, b.quit);
    m_choose->setFocus();
}

// ---- backup ----

frmBackup::frmBackup(QWidget *parent)
    : BackupPathDialog(parent, QStringLiteral("数据备份"),
                       {QStringLiteral("单击[选择路径]按钮选择正确备份路径，再单击[备份]按钮即可。")},
                       QStringLiteral("选择备份路径："), QStringLiteral("备份"))
{
    setObjectName(QStringLiteral("frmBackup"));
}

void frmBackup::Button1Click()
{
    const QString folder = Msg::chooseFolder(this, QStringLiteral("选择备份路径："), startFolder());
    if (folder.isEmpty()) {
        m_path->clear();
        return;
    }
    g_lastFolder = folder;
    m_path->setText(QDir::toNativeSeparators(DbFile::backupPath(folder, G.WorkDate)));
}

void frmBackup::BitBtn1Click()
{
    if (m_path->text().isEmpty()) {
        Msg::info(this, QStringLiteral("路径不能为空！"));
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString e = DbFile::backup(DM().db().connectionName(), QDir::fromNativeSeparators(m_path->text()));
    QApplication::restoreOverrideCursor();
    if (e.isEmpty()) Msg::info(this, QStringLiteral("数据备份成功！"));
    else Msg::warning(this, QStringLiteral("数据备份失败！\n") + e);
    accept();
}

// ---- restore ----

frmRecover::frmRecover(QWidget *parent)
    : BackupPathDialog(parent, QStringLiteral("数据恢复"),
                       {QStringLiteral("注意：数据恢复容易造成数据丢失。"),
                        QStringLiteral("选择备份文件，单击 恢复 按钮，即可完成数据恢复操作。")},
                       QStringLiteral("选择备份文件："), QStringLiteral("恢复"))
{
    setObjectName(QStringLiteral("frmRecover"));
}

void frmRecover::Button1Click()
{
    const QString file = Msg::openFile(this, QStringLiteral("打开数据备份文件"), startFolder(),
                                       QStringLiteral("EDB文件 (*.edb *.EDB)"));
    if (!file.isEmpty()) g_lastFolder = QFileInfo(file).absolutePath();
    m_path->setText(QDir::toNativeSeparators(file));
}

void frmRecover::BitBtn1Click()
{
    if (m_path->text().isEmpty()) {
        Msg::info(this, QStringLiteral("请选择备份文件"));
        return;
    }
    if (!Msg::ask(this, QStringLiteral("确认要恢复数据吗?"), QStringLiteral("恢复数据"), true)) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const DbFile::RestoreResult r =
        DbFile::restore(DM(), DM().db().connectionName(), QDir::fromNativeSeparators(m_path->text()));
    QApplication::restoreOverrideCursor();
    if (r.ok) {
        QString text = QStringLiteral("数据恢复成功！\n恢复前的数据库已另存为：%1").arg(QDir::toNativeSeparators(r.safetyCopy));
        for (const QString &note : r.notes) text += QStringLiteral("\n") + note;
        Msg::info(this, text + QStringLiteral("\n\n程序将退出，请重新启动本软件。"));
    } else {
        Msg::warning(this, QStringLiteral("数据恢复失败！\n") + r.message);
        if (!r.closed) return;
        Msg::error(this, QStringLiteral("数据库已关闭，程序将退出，请重新启动本软件。"));
    }
    accept();
    Shell::endProgram();
}

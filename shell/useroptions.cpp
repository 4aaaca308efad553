#include "useroptions.h"
#include "accounts.h"
#include "ui/dialogbuttons.h"
#include "ui/msg.h"
#include "startup.h"

#include "data/dberror.h"
#include "data/dm.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QSqlQueryModel>
#include <QVBoxLayout>

namespace {
QComboBox *pickList(QWidget *parent, const char *name)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setMinimumWidth(180);
    return c;
}

QString picked(const QComboBox *c) { return c->currentIndex() >= 0 ? c->currentText() : QString(); }
}

frmXXSZ::frmXXSZ(const QString &userName, int userId, QWidget *parent) : QDialog(parent), m_userId(userId)
{
    const QString caption = userName + QStringLiteral(" 的默认选项设置");
    setWindowTitle(caption);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto *group = new QGroupBox(caption, this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    m_ck = pickList(group, "DBComWare");
    m_zh = pickList(group, "DBComAccount");
    m_jsr = pickList(group, "DBComStaff");
    m_sfkr = pickList(group, "DBComSFKR");
    auto *form = new QFormLayout(group);
    form->addRow(QStringLiteral("仓 库  名 称："), m_ck);
    form->addRow(QStringLiteral("收付款方式："), m_zh);
    form->addRow(QStringLiteral("经    手    人："), m_jsr);
    form->addRow(QStringLiteral("收 付  款 人："), m_sfkr);

    auto *buttons = DialogButtons::row(this, &frmXXSZ::save, DialogButtons::EnterIgnored);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);

    try {
        m_ck->setModel(DM().DBComWare());
        m_zh->setModel(DM().DBComAccount());
        QSqlQueryModel *staff = DM().DBComStaff();
        m_jsr->setModel(staff);
        m_sfkr->setModel(staff);
        const Accounts::UserDefaults d = Accounts::userDefaults(DM(), userId);
        m_ck->setCurrentIndex(m_ck->findText(d.ck));
        m_zh->setCurrentIndex(m_zh->findText(d.zh));
        m_jsr->setCurrentIndex(m_jsr->findText(d.jsr));
        m_sfkr->setCurrentIndex(m_sfkr->findText(d.sfkr));
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
}

void frmXXSZ::save()
{
    try {
        Accounts::saveUserDefaults(DM(), m_userId, {picked(m_ck), picked(m_zh), picked(m_jsr), picked(m_sfkr)});
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    Msg::info(this, windowTitle() + QStringLiteral(" 保存成功！请重新登录！"));
    accept();
    Shell::endProgram();
}

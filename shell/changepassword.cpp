#include "changepassword.h"
#include "accounts.h"
#include "ui/dialogbuttons.h"
#include "ui/msg.h"
#include "passwordmask.h"
#include "startup.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

frmCPass::frmCPass(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("修改密码"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto *group = new QGroupBox(QStringLiteral("密码信息"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    m_old = new QLineEdit(group);
    m_old->setObjectName(QStringLiteral("Edit1"));
    m_new = new QLineEdit(group);
    m_new->setObjectName(QStringLiteral("Edit2"));
    m_confirm = new QLineEdit(group);
    m_confirm->setObjectName(QStringLiteral("Edit3"));
    for (QLineEdit *e : {m_old, m_new, m_confirm}) makePasswordField(e, 12);
    auto *form = new QFormLayout(group);
    form->addRow(QStringLiteral("原  密  码："), m_old);
    form->addRow(QStringLiteral("新  密  码："), m_new);
    form->addRow(QStringLiteral("确认密码："), m_confirm);

    auto *buttons =
        DialogButtons::row(this, &frmCPass::confirm, DialogButtons::EnterIgnored, {}, QStringLiteral("确认"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
}

void frmCPass::confirm()
{
    Accounts::PasswordCheck check;
    try {
        check = Accounts::checkPasswordChange(DM(), G.LoginName, m_old->text(), m_new->text(), m_confirm->text());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    switch (check) {
    case Accounts::PasswordCheck::WrongOld:
        Msg::info(this, QStringLiteral("原密码 错误，请重新录入！"));
        m_old->setFocus();
        return;
    case Accounts::PasswordCheck::SameAsOld:
        Msg::info(this, QStringLiteral("新密码 与 原密码 一样，请重新录入！"));
        m_new->setFocus();
        return;
    case Accounts::PasswordCheck::Mismatch:
        Msg::info(this, QStringLiteral("新密码 与 确认密码 不一致，请重新录入！"));
        m_confirm->setFocus();
        return;
    case Accounts::PasswordCheck::Ok:
        break;
    }
    try {
        Accounts::setPassword(DM(), G.LoginName, m_old->text(), m_new->text());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    Msg::info(this, QStringLiteral("密码修改成功！请重新登录！"), QStringLiteral("信息提示"));
    accept();
    Shell::endProgram();
}

#include "login.h"
#include "accounts.h"
#include "artwork.h"
#include "main.h"
#include "ui/msg.h"
#include "passwordmask.h"
#include "startup.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQueryModel>
#include <QVBoxLayout>

frmLogin::frmLogin(frmMain *main, QWidget *parent) : QDialog(parent), m_main(main)
{
    setWindowTitle(QStringLiteral("软件登录"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto *banner = new QLabel(this);
    banner->setObjectName(QStringLiteral("Banner"));
    banner->setPixmap(Artwork::loginBanner(QSize(420, 90)));
    banner->setFixedSize(420, 90);

    auto *group = new QGroupBox(QStringLiteral("系统登录"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    m_user = new QComboBox(group);
    m_user->setObjectName(QStringLiteral("UserName"));
    m_user->setModel(DM().DBComUser());
    m_user->setModelColumn(0);
    m_user->setCurrentIndex(-1);
    m_pass = new QLineEdit(group);
    m_pass->setObjectName(QStringLiteral("Password"));
    makePasswordField(m_pass, 12);
    m_date = new QDateEdit(QDate::currentDate(), group);
    m_date->setObjectName(QStringLiteral("WorkDate"));
    m_date->setDisplayFormat(QString::fromLatin1(DateFormat));
    m_date->setCalendarPopup(true);
    // Document numbers carry the date as yymmdd: a business date outside one
    // century would give numbers that clash with those of another century.
    m_date->setDateRange(QDate(2000, 1, 1), QDate(2099, 12, 31));

    auto *form = new QFormLayout(group);
    form->addRow(QStringLiteral("用  户  名："), m_user);
    form->addRow(QStringLiteral("密        码："), m_pass);
    form->addRow(QStringLiteral("营业日期："), m_date);

    m_login = new QPushButton(QStringLiteral("登录"), this);
    m_login->setObjectName(QStringLiteral("BitBtn1"));
    m_login->setDefault(true);
    auto *quit = new QPushButton(QStringLiteral("退出"), this);
    quit->setObjectName(QStringLiteral("BitBtn2"));
    quit->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_login);
    buttons->addWidget(quit);
    buttons->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 10);
    layout->addWidget(banner);
    auto *body = new QVBoxLayout;
    body->setContentsMargins(12, 6, 12, 0);
    body->addWidget(group);
    body->addLayout(buttons);
    layout->addLayout(body);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_user, QOverload<int>::of(&QComboBox::activated), this, [this] { m_pass->setFocus(); });
    connect(m_login, &QPushButton::clicked, this, &frmLogin::login);
    connect(quit, &QPushButton::clicked, this, &frmLogin::reject);
}

void frmLogin::login()
{
    const QString name = m_user->currentIndex() >= 0 ? m_user->currentText() : QString();
    if (name.isEmpty()) {
        Msg::info(this, QStringLiteral("用户名 不能为空，请选择 用户名！"));
        m_user->setFocus();
        return;
    }
    if (m_throttle.secondsToWait(name) > 0) {
        Msg::info(this, m_throttle.waitText(name));
        m_pass->setFocus();
        return;
    }
    try {
        const auto user = Accounts::checkLogin(DM(), name, m_pass->text());
        if (!user) {
            m_throttle.failed(name);
            const bool wait = m_throttle.secondsToWait(name) > 0;
            Msg::info(this, wait ? m_throttle.waitText(name) : QStringLiteral("密码错误，请重新录入密码！"));
            m_pass->setFocus();
            return;
        }
        m_throttle.succeeded(name);
        Accounts::startSession(*user, m_date->date().toString(QString::fromLatin1(DateFormat)));
        m_main->applyRights(user->id);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    hide();
    m_main->showMaximized();
}

void frmLogin::reject()
{
    QDialog::reject();
    Shell::endProgram();
}

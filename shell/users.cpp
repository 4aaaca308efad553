#include "users.h"
#include "accounts.h"
#include "ui/dialogbuttons.h"
#include "ui/msg.h"
#include "rights.h"
#include "useroptions.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "data/words.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQueryModel>
#include <QTableView>
#include <QVBoxLayout>

frmUser::frmUser(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("用户管理"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    resize(620, 460);

    m_model = new QSqlQueryModel(this);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setModel(m_model);
    m_grid->setToolTip(QStringLiteral("亲，鼠标右键有惊喜哟！"));
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    // Tab goes on to the next field instead of walking the cells.
    m_grid->setTabKeyNavigation(false);

    auto *group = new QGroupBox(QStringLiteral("用户信息"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    m_name = new QLineEdit(group);
    m_name->setObjectName(QStringLiteral("Edit1"));
    m_name->setMaxLength(20);
    m_remark = new QLineEdit(group);
    m_remark->setObjectName(QStringLiteral("Edit2"));
    m_remark->setMaxLength(50);
    auto *form = new QFormLayout(group);
    form->addRow(QStringLiteral("用  户  名："), m_name);
    form->addRow(QStringLiteral("备        注："), m_remark);
    form->addRow(new QLabel(QStringLiteral("新增的用户密码为 705318"), group));
    form->addRow(new QLabel(QStringLiteral("保存后，请在用户列表处鼠标右键权限设置"), group));

    auto *add = new QPushButton(QStringLiteral("新增"), this);
    add->setObjectName(QStringLiteral("BitBtn1"));
    auto *saveButton = new QPushButton(QStringLiteral("保存"), this);
    saveButton->setObjectName(QStringLiteral("BitBtn2"));
    auto *quit = new QPushButton(QStringLiteral("退出"), this);
    quit->setObjectName(QStringLiteral("BitBtn3"));
    for (QPushButton *b : {add, saveButton, quit}) {
        b->setAutoDefault(false);
        DialogButtons::pressOnEnter(b);
    }
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(add);
    buttons->addWidget(saveButton);
    buttons->addWidget(quit);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addWidget(group);
    layout->addLayout(buttons);

    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    connect(m_popup->addAction(QStringLiteral("启用 &Q")), &QAction::triggered, this, &frmUser::enableUser);
    connect(m_popup->addAction(QStringLiteral("停用 &T")), &QAction::triggered, this, &frmUser::disableUser);
    m_popup->addSeparator();
    connect(m_popup->addAction(QStringLiteral("权限设置 &L")), &QAction::triggered, this, &frmUser::editRights);
    connect(m_popup->addAction(QStringLiteral("默认选项设置 &M")), &QAction::triggered, this, &frmUser::editDefaults);
    m_popup->addSeparator();
    connect(m_popup->addAction(QStringLiteral("删除 &D")), &QAction::triggered, this, &frmUser::deleteUser);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_popup->popup(m_grid->viewport()->mapToGlobal(pos)); });

    connect(add, &QPushButton::clicked, this, &frmUser::newUser);
    connect(saveButton, &QPushButton::clicked, this, &frmUser::save);
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);

    Ref();
    // Opens ready to type a new user's name.
    m_name->setFocus();
}

void frmUser::Ref()
{
    try {
        DM().reconnectIfLost();
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    m_model->setQuery(QStringLiteral("select theName as 用户名,Remark as 备注,theState as 状态,ID from SUser"),
                      DM().db());
    if (m_model->lastError().isValid()) {
        Msg::error(this, m_model->lastError().text());
        return;
    }
    while (m_model->canFetchMore()) m_model->fetchMore();
    m_grid->setColumnHidden(3, true);
    m_grid->setColumnWidth(1, 280);
    if (m_model->rowCount() > 0) m_grid->selectRow(0);
}

bool frmUser::selected(int *id, QString *name)
{
    if (m_model->rowCount() == 0) {
        Ref();
        return false;
    }
    int row = m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : 0;
    *name = m_model->index(row, 0).data().toString();
    *id = m_model->index(row, 3).data().toInt();
    return true;
}

void frmUser::newUser()
{
    m_name->clear();
    m_remark->clear();
    m_name->setFocus();
}

void frmUser::save()
{
    const QString name = m_name->text();
    if (name.isEmpty()) {
        Msg::info(this, Msg::emptyText(QStringLiteral("用户名")));
        m_name->setFocus();
        return;
    }
    try {
        if (!Accounts::addUser(DM(), name, m_remark->text())) {
            Msg::info(this, Msg::existsText(QStringLiteral("用户名")));
            m_name->setFocus();
            return;
        }
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    Msg::info(this, Msg::savedText(QStringLiteral("用户信息")));
    Ref();
    m_name->clear();
    m_remark->clear();
}

void frmUser::setState(bool on)
{
    int id = 0;
    QString name;
    if (!selected(&id, &name)) return;
    if (name == G.LoginName) {
        Msg::info(this, on ? QStringLiteral("不能启用当前登录用户名！") : QStringLiteral("不能停用当前登录用户名！"));
        return;
    }
    try {
        Accounts::setUserState(DM(), id, on);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    Ref();
}

void frmUser::enableUser() { setState(true); }
void frmUser::disableUser() { setState(false); }

template <class Dialog> void frmUser::openForSelected()
{
    int id = 0;
    QString name;
    if (!selected(&id, &name)) return;
    Dialog dlg(name, id, this);
    dlg.exec();
}

void frmUser::editRights() { openForSelected<frmLevel>(); }
void frmUser::editDefaults() { openForSelected<frmXXSZ>(); }

void frmUser::deleteUser()
{
    int id = 0;
    QString name;
    if (!selected(&id, &name)) return;
    if (name == G.LoginName) {
        Msg::info(this, QStringLiteral("不能删除当前登录用户名！"));
        return;
    }
    if (!Msg::confirmDelete(this)) return;
    try {
        Accounts::deleteUser(DM(), id);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    Ref();
}

#include "rights.h"
#include "accounts.h"
#include "ui/dialogbuttons.h"
#include "ui/msg.h"
#include "ui/taborder.h"

#include "data/dberror.h"
#include "data/dm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSet>
#include <QVBoxLayout>

namespace { constexpr int Columns = 4; }

frmLevel::frmLevel(const QString &userName, int userId, QWidget *parent) : QDialog(parent), m_userId(userId)
{
    const QString caption = userName + QStringLiteral(" 的权限设置");
    setWindowTitle(caption);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    resize(760, 660);

    m_group = new QGroupBox(caption, this);
    m_group->setObjectName(QStringLiteral("GroupBox1"));
    auto *scroll = new QScrollArea(m_group);
    scroll->setWidgetResizable(true);
    // Tab goes from item to item; the frame around them is no stop of its own.
    scroll->setFocusPolicy(Qt::NoFocus);
    m_list = new QWidget;
    m_list->setObjectName(QStringLiteral("CheckListBox1"));
    scroll->setWidget(m_list);
    auto *groupLayout = new QVBoxLayout(m_group);
    groupLayout->addWidget(scroll);

    m_all = new QCheckBox(QStringLiteral("全选"), this);
    m_all->setObjectName(QStringLiteral("CheckBox1"));
    auto *buttons = DialogButtons::row(this, &frmLevel::save, DialogButtons::EnterIgnored, {m_all});

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_group, 1);
    layout->addLayout(buttons);

    connect(m_all, &QCheckBox::toggled, this, [this](bool on) {
        for (QCheckBox *c : m_items) c->setChecked(on);
    });

    load();
    // The items are made after the buttons but stand above them.
    QList<QWidget *> order;
    for (QCheckBox *c : m_items) order << c;
    order << m_all << findChild<QPushButton *>(QStringLiteral("BitBtn1")) << findChild<QPushButton *>(QStringLiteral("BitBtn2"));
    TabOrder::chain(order);
    if (!m_items.isEmpty()) m_items.first()->setFocus();
}

void frmLevel::load()
{
    QVector<QVariantList> menu;
    QSet<QString> granted;
    try {
        menu = DM().rows(QStringLiteral("select MNum,MName from SMenu Order by MNum"));
        const QStringList codes = Accounts::rightCodes(DM(), m_userId);
        granted = QSet<QString>(codes.begin(), codes.end());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    // Filled column by column, like a multi-column check list.
    auto *grid = new QGridLayout(m_list);
    const int rowsPerColumn = (int(menu.size()) + Columns - 1) / Columns;
    for (int i = 0; i < menu.size(); ++i) {
        const QString code = menu[i][0].toString();
        // The '&' makes the first letter of the name the item's accelerator.
        auto *c = new QCheckBox(code + QLatin1Char('&') + menu[i][1].toString(), m_list);
        c->setProperty("code", code);
        c->setChecked(granted.contains(code));
        grid->addWidget(c, i % rowsPerColumn, i / rowsPerColumn);
        m_items << c;
    }
    grid->setRowStretch(rowsPerColumn, 1);
}

void frmLevel::save()
{
    QStringList codes;
    for (QCheckBox *c : m_items)
        if (c->isChecked()) codes << c->property("code").toString().left(3);
    try {
        Accounts::saveRights(DM(), m_userId, codes);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    Msg::info(this, m_group->title() + QStringLiteral(" 保存成功！"));
    accept();
}

#include "frmshop_in.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "productfields.h"
#include "ui/dialogbuttons.h"
#include "ui/msg.h"

#include <QCheckBox>
#include <QDynamicPropertyChangeEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

frmShop_In::frmShop_In(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmShop_In"));
    setWindowTitle(QStringLiteral("商品录入"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    m_fields = new ProductFields(this);
    m_id = new QLabel(QStringLiteral("0"), this);
    m_id->setObjectName(QStringLiteral("Lab_ID"));
    m_id->hide();

    m_continue = new QCheckBox(QStringLiteral("连续新增"), this);
    m_continue->setObjectName(QStringLiteral("CheckBox1"));
    m_continue->setChecked(true);
    m_sameStand = new QCheckBox(QStringLiteral("同样规格"), this);
    m_sameStand->setObjectName(QStringLiteral("CheckBox2"));
    m_sameUnit = new QCheckBox(QStringLiteral("同样单位"), this);
    m_sameUnit->setObjectName(QStringLiteral("CheckBox3"));
    m_sameUnit->setChecked(true);

    auto *bottom = DialogButtons::row(this, &frmShop_In::BitBtn1Click, DialogButtons::EnterActs,
                                      {m_continue, m_sameStand, m_sameUnit});
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_fields);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize); // grows and shrinks with the limit row

    startNew();
}

void frmShop_In::startNew()
{
    m_id->setText(QStringLiteral("0"));
    m_fields->startNew();
    m_fields->name()->setFocus();
}

bool frmShop_In::event(QEvent *e)
{
    // The main menu marks a screen opened for a new product with "newEntry".
    if (e->type() == QEvent::DynamicPropertyChange
        && static_cast<QDynamicPropertyChangeEvent *>(e)->propertyName() == "newEntry"
        && property("newEntry").toBool() && productID() != 0) {
        m_continue->setChecked(true);
        m_continue->show();
        m_sameStand->show();
        m_fields->setInput(ProductInput{});
        startNew();
    }
    return QDialog::event(e);
}

int frmShop_In::productID() const { return m_id->text().toInt(); }

void frmShop_In::setProductID(int id)
{
    m_id->setText(QString::number(id));
    m_fields->dropProposal();
    try {
        const ProductRecord p = readProduct(DM(), id);
        m_fields->fillCategories(p.input.type);
        m_fields->setInput(p.input);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
    m_continue->setChecked(false);
    m_continue->hide();
    m_sameStand->setChecked(false);
    m_sameStand->hide();
}

void frmShop_In::BitBtn1Click()
{
    const int id = productID();
    if (!m_fields->save(this, id)) return;

    if (m_continue->isChecked()) {
        // Ready for the next product of the same kind: the category and the
        // limits stay, and so do the unit and the size (规格) when asked.
        m_fields->name()->clear();
        m_fields->purchase()->clear();
        m_fields->remark()->clear();
        m_fields->sales()->clear();
        if (!m_sameUnit->isChecked()) m_fields->unit()->clear();
        if (!m_sameStand->isChecked()) m_fields->stand()->clear();
        m_fields->proposeCode();
        m_fields->name()->setFocus();
        return;
    }
    if (id == 0) {
        Msg::info(this, Msg::savedText(QStringLiteral("商品信息")));
    } else {
        emit saved();
    }
    accept();
}

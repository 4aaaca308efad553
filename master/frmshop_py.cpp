#include "frmshop_py.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "productfields.h"
#include "ui/dialogbuttons.h"
#include "ui/msg.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

frmShop_PY::frmShop_PY(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmShop_PY"));
    setWindowTitle(QStringLiteral("商品拼音码修改"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    // The product is shown for reference only.
    m_fields = new ProductFields(this);
    m_fields->setEnabled(false);
    m_fields->setLimitsVisible(false);

    auto *group = new QGroupBox(QStringLiteral("拼音码"), this);
    group->setObjectName(QStringLiteral("GroupBox2"));
    m_py = new QLineEdit(group);
    m_py->setObjectName(QStringLiteral("Edit10"));
    m_py->setMaxLength(50);
    auto *form = new QFormLayout(group);
    form->addRow(QStringLiteral("拼  音  码："), m_py);

    auto *bottom = DialogButtons::row(this, &frmShop_PY::BitBtn1Click, DialogButtons::EnterActs);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_fields);
    layout->addWidget(group);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmShop_PY::setProductID(int id)
{
    m_id = id;
    try {
        const ProductRecord p = readProduct(DM(), id);
        m_fields->fillCategories(p.input.type);
        m_fields->setInput(p.input);
        m_py->setText(p.py);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
    m_py->setFocus();
}

void frmShop_PY::BitBtn1Click()
{
    if (m_py->text().isEmpty()) {
        Msg::info(this, Msg::emptyText(QStringLiteral("拼音码")));
        m_py->setFocus();
        return;
    }
    try {
        setProductPY(DM(), m_id, m_py->text());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
        return;
    }
    Msg::info(this, Msg::savedText(QStringLiteral("商品名称拼音码")));
    emit saved();
    accept();
}

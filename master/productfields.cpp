#include "productfields.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "fieldwidgets.h"
#include "ui/keyfilter.h"
#include "ui/msg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

ProductFields::ProductFields(QWidget *parent) : QGroupBox(QStringLiteral("商品信息"), parent)
{
    setObjectName(QStringLiteral("GroupBox1"));
    m_code = namedEdit(this, "Edit3", 16);
    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("DBLookupComboBox1"));
    m_name = namedEdit(this, "Edit1", 50);
    m_stand = namedEdit(this, "Edit7", 20);
    m_unit = namedEdit(this, "Edit2", 10);
    m_jh = namedEdit(this, "Edit4", 0);
    m_xs = namedEdit(this, "Edit6", 0);
    m_remark = namedEdit(this, "Edit5", 100);
    m_kcMin = namedEdit(this, "Edit8", 0);
    m_kcMax = namedEdit(this, "Edit9", 0);
    for (QLineEdit *e : {m_jh, m_xs, m_kcMin, m_kcMax}) KeyFilter::install(e, KeyFilter::Number);

    m_kcMinLabel = new QLabel(QStringLiteral("最低库存："), this);
    m_kcMinLabel->setObjectName(QStringLiteral("Label9"));
    m_kcMaxLabel = new QLabel(QStringLiteral("最高库存："), this);
    m_kcMaxLabel->setObjectName(QStringLiteral("Label10"));

    auto *g = new QGridLayout(this);
    auto row = [&](int r, int c, const QString &label, QWidget *w) {
        g->addWidget(new QLabel(label, this), r, c * 2);
        g->addWidget(w, r, c * 2 + 1);
    };
    row(0, 0, QStringLiteral("商品编码："), m_code);
    row(0, 1, QStringLiteral("商品分类："), m_type);
    row(1, 0, QStringLiteral("商品名称："), m_name);
    row(1, 1, QStringLiteral("规        格："), m_stand);
    row(2, 0, QStringLiteral("单        位："), m_unit);
    row(2, 1, QStringLiteral("采购单价："), m_jh);
    row(3, 0, QStringLiteral("销售单价："), m_xs);
    row(3, 1, QStringLiteral("备       注："), m_remark);
    g->addWidget(m_kcMinLabel, 4, 0);
    g->addWidget(m_kcMin, 4, 1);
    g->addWidget(m_kcMaxLabel, 4, 2);
    g->addWidget(m_kcMax, 4, 3);

    // The limits are written whatever their visibility; they are only shown
    // while the stock warning is on.
    setLimitsVisible(G.ShopTX == QLatin1String("True"));

    fillCategories();
}

bool ProductFields::limitsShown() const { return !m_kcMin->isHidden(); }

void ProductFields::setLimitsVisible(bool on)
{
    for (QWidget *w : {static_cast<QWidget *>(m_kcMinLabel), static_cast<QWidget *>(m_kcMaxLabel),
                       static_cast<QWidget *>(m_kcMin), static_cast<QWidget *>(m_kcMax)})
        w->setVisible(on);
}

void ProductFields::fillCategories(const QString &keep)
{
    const QString current = keep.isEmpty() ? m_type->currentText() : keep;
    m_type->clear();
    try {
        addNames(m_type, DM().DBComSType());
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
    setCategory(current);
}

void ProductFields::setCategory(const QString &name)
{
    if (name.isEmpty()) {
        m_type->setCurrentIndex(-1);
        return;
    }
    int i = m_type->findText(name, Qt::MatchExactly);
    if (i < 0) {
        // A product of a category that was disabled since keeps its category
        // when it is changed, instead of losing it to an empty list choice.
        m_type->addItem(name);
        i = m_type->count() - 1;
    }
    m_type->setCurrentIndex(i);
}

ProductInput ProductFields::input() const
{
    return ProductInput{m_code->text(),  m_type->currentIndex() < 0 ? QString() : m_type->currentText(),
                        m_name->text(),  m_stand->text(),
                        m_unit->text(),  m_jh->text(),
                        m_xs->text(),    m_remark->text(),
                        m_kcMin->text(), m_kcMax->text(),
                        m_proposed};
}

void ProductFields::setInput(const ProductInput &in)
{
    m_code->setText(in.num);
    setCategory(in.type);
    m_name->setText(in.name);
    m_stand->setText(in.stand);
    m_unit->setText(in.unit);
    m_jh->setText(in.jh);
    m_xs->setText(in.xs);
    m_remark->setText(in.remark);
    m_kcMin->setText(in.kcMin);
    m_kcMax->setText(in.kcMax);
}

void ProductFields::proposeCode()
{
    m_proposed.clear();
    try {
        m_proposed = DM().NewSPNum();
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
    m_code->setText(m_proposed);
}

void ProductFields::startNew()
{
    proposeCode();
    m_kcMin->setText(G.ShopKCMin);
    m_kcMax->setText(G.ShopKCMax);
}

bool ProductFields::save(QWidget *dialog, int id, int *savedId)
{
    ProductSaveResult r;
    try {
        r = saveProduct(DM(), id, input());
    } catch (const DbError &e) {
        Msg::error(dialog, e.text());
        return false;
    }
    switch (r.status) {
    case ProductSaveResult::Invalid:
    case ProductSaveResult::NotNumber:
    case ProductSaveResult::Duplicate:
    case ProductSaveResult::CodeTaken:
        Msg::info(dialog, r.message);
        break;
    case ProductSaveResult::Saved:
        if (savedId) *savedId = r.id;
        if (r.num != m_code->text()) {
            // Another seat saved a product under the proposed code meanwhile.
            Msg::info(dialog, QStringLiteral("商品编码 %1 已被其他商品使用，本商品已保存为商品编码 %2。")
                                  .arg(m_code->text(), r.num));
            m_code->setText(r.num);
        }
        return true;
    }
    focusField(r.field);
    return false;
}

void ProductFields::focusField(ProductField f)
{
    switch (f) {
    case ProductField::Num: m_code->setFocus(); break;
    case ProductField::Name: m_name->setFocus(); break;
    case ProductField::Unit: m_unit->setFocus(); break;
    case ProductField::JH: m_jh->setFocus(); break;
    case ProductField::XS: m_xs->setFocus(); break;
    case ProductField::KCMin: m_kcMin->setFocus(); break;
    case ProductField::KCMax: m_kcMax->setFocus(); break;
    case ProductField::None: break;
    }
}

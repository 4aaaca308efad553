#include "frmlsdj.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/money.h"
#include "pickerlist.h"
#include "pricehistory.h"
#include "ui/msg.h"

#include <QTableView>
#include <QVBoxLayout>

frmLSDJ::frmLSDJ(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLSDJ"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    resize(810, 300);
    m_model = new PickerList::TextModel(this);
    m_grid = PickerList::create(this, m_model);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid);
}

void frmLSDJ::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    FormShow();
}

void frmLSDJ::FormShow()
{
    QVector<QStringList> rows;
    try {
        for (const QVariantList &r : priceHistory(DM(), myType, myUID.toInt(), mySID.toInt())) {
            QStringList values;
            for (int c = 0; c < r.size(); ++c)
                values << (c >= 6 ? Money::fromVariant(r[c]).toString() : r[c].toString());
            rows.append(values);
        }
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
    m_model->setRows(priceHistoryCaptions(myType), std::move(rows));
    PickerList::setWidths(m_grid, {-1, -1, 80, 160, 80, 60, 60, 60, 80});
}

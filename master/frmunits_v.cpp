#include "frmunits_v.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "partnerfields.h"
#include "ui/msg.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

frmunits_v::frmunits_v(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmunits_v"));
    setWindowTitle(QStringLiteral("往来单位查看"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    m_fields = new PartnerFields(false, this);
    m_fields->setReadOnly(true);
    auto *quit = new QPushButton(QStringLiteral("退出"), this);
    quit->setObjectName(QStringLiteral("BitBtn1"));
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(quit);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_fields);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmunits_v::setPartnerID(int id)
{
    try {
        const PartnerRecord p = readPartner(DM(), id);
        if (p.found) m_fields->setInput(p.input);
    } catch (const DbError &e) {
        Msg::error(this, e.text());
    }
}

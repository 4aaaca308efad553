#include "frmfindunits.h"

frmFindUnits::frmFindUnits(QWidget *parent)
    : PickerDialog(QStringLiteral("frmFindUnits"), QStringLiteral("往来单位查找 上下键选择 回车键确认"), parent)
{
}

void frmFindUnits::setList(const QVector<PartnerHit> &list)
{
    m_list = list;
    QVector<QStringList> rows;
    rows.reserve(list.size());
    for (const PartnerHit &p : list)
        rows.append(QStringList{p.name, p.contact, p.phone, p.address, p.remark, QString::number(p.id)});
    fill({QStringLiteral("单位名称"), QStringLiteral("联系人"), QStringLiteral("联系电话"), QStringLiteral("地址"),
          QStringLiteral("备注"), QStringLiteral("ID")},
         std::move(rows), {200, 100, 120, 160, 100, 0});
}

void frmFindUnits::myLoad()
{
    const int row = currentRow();
    if (row < 0 || row >= m_list.size()) return;
    if (caller()) putPartner(*caller(), m_list[row]);
    accept();
}

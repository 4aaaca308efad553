#include "salesbook.h"

namespace {

ExportColumn column(const QString &header, int at, bool number = false)
{
    ExportColumn c;
    c.header = header;
    c.column = at;
    c.number = number;
    return c;
}

} // namespace

SalesBook::SalesBook(const SalesStats &stats, const QString &shopName)
{
    m_layout.shopName = shopName;
    m_layout.titleWord = QStringLiteral("销售出库统计表");
    m_layout.titleRow = false;
    m_layout.widths = {4, 16, 12, 12, 16};

    QStringList headers{QStringLiteral("客户名称"), QStringLiteral("联系人"), QStringLiteral("联系电话"),
                        QStringLiteral("地址")};
    for (const SalesStats::Product &p : stats.products) headers << p.header;
    headers << QStringLiteral("合计数量") << QStringLiteral("合计金额") << QStringLiteral("收款金额")
            << QStringLiteral("应收金额") << QStringLiteral("仓库名称") << QStringLiteral("经手人");
    const int products = int(stats.products.size());
    for (int i = 0; i < headers.size(); ++i) {
        const bool number = i >= 4 && i < 4 + products + 4;
        m_layout.columns << column(headers[i], i, number);
    }

    m_model.setColumnCount(int(headers.size()));
    m_model.setRowCount(int(stats.customers.size()));
    for (int r = 0; r < stats.customers.size(); ++r) {
        const SalesStats::Customer &c = stats.customers[r];
        QStringList cells{c.name, c.contact, c.phone, c.address};
        for (const Money &m : c.counts) cells << m.toString();
        cells << c.count.toString() << c.amount.toString() << c.received.toString() << c.owed.toString()
              << c.warehouse << c.handler;
        for (int col = 0; col < cells.size(); ++col) m_model.setItem(r, col, new QStandardItem(cells[col]));
    }
}

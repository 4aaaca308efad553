#include "sheetimport.h"
#include "sheet.h"

#include "data/dm.h"
#include "data/oplog.h"
#include "data/globals.h"
#include "data/numinput.h"
#include "data/pinyin.h"
#include "data/transaction.h"
#include "data/words.h"

#include <QHash>

namespace SheetImport {

namespace {

QStringList list(std::initializer_list<const char *> names)
{
    QStringList out;
    for (const char *n : names) out << QString::fromUtf8(n);
    return out;
}

QString rule(const QStringList &columns)
{
    return QStringLiteral("打开的EXCEL文件的底部一定是Sheet1，表格头部顺序为") + columns.join(QStringLiteral("、"));
}

// The columns of one import by name, and the cut texts of a row.
class Row {
public:
    Row(const Sheet &sheet, const QStringList &names) : m_sheet(sheet)
    {
        for (const QString &n : names) m_columns.insert(n, sheet.column(n));
    }
    void at(int row) { m_row = row; }
    int sheetRow() const { return m_sheet.sheetRows.value(m_row); }
    // The value trimmed and cut to the field's length.
    QString text(const QString &name, int length = 0) const
    {
        const QString v = m_sheet.value(m_row, m_columns.value(name, -1)).trimmed();
        return length > 0 ? v.left(length) : v;
    }

private:
    const Sheet &m_sheet;
    QHash<QString, int> m_columns;
    int m_row = 0;
};

Outcome missingColumns(const QStringList &missing)
{
    Outcome o;
    o.message = QStringLiteral("Sheet1 的表头缺少以下列：%1\n\n没有导入任何数据。请按说明补上这些列后重新导入。")
                    .arg(missing.join(QStringLiteral("、")));
    return o;
}

// Reads a number of a row; on a refusal fills the outcome and returns false.
bool readNumber(const Row &row, const QString &column, NumInput::Rule rule, Money *value, Outcome *o)
{
    const NumInput::Reading r = NumInput::read(row.text(column), rule, true);
    if (r.ok()) {
        *value = r.value;
        return true;
    }
    o->failedRow = row.sheetRow();
    o->failedColumn = column;
    o->message = r.message(QStringLiteral("表格") + NumInput::cellLabel(row.sheetRow(), column))
                 + QStringLiteral("\n\n本文件的数据都没有导入。请在表格中改正后重新导入。");
    return false;
}

Money shopLimit(const QString &text)
{
    bool ok = false;
    const Money m = Money::fromString(text, &ok);
    return ok ? m : Money();
}

} // namespace

const QStringList &productColumns()
{
    static const QStringList c = list({"商品编码", "商品分类", "商品名称", "规格", "单位", "采购单价", "销售单价", "库存数量", "备注"});
    return c;
}

const QStringList &partnerColumns()
{
    static const QStringList c = list({"单位名称", "联系人", "联系电话", "地址", "备注"});
    return c;
}

QString productRule() { return rule(productColumns()); }
QString partnerRule() { return rule(partnerColumns()); }

Outcome importProducts(frmDM &dm, const Sheet &sheet, bool saveStock, const QString &warehouse)
{
    const QStringList missing = sheet.missing(productColumns());
    if (!missing.isEmpty()) return missingColumns(missing);
    Outcome o;
    if (saveStock && warehouse.isEmpty()) {
        o.message = QStringLiteral("请选择 仓库名称！");
        return o;
    }

    const QString live = QString::fromUtf8(Words::No);
    const QString stateOn = QString::fromUtf8(Words::StateOn);
    const QString importWord = QString::fromUtf8(StockWord::ProductImport);
    const QString noNumber = QStringLiteral(""); // stored as an empty text, not as NULL
    const Money kcMin = shopLimit(G.ShopKCMin), kcMax = shopLimit(G.ShopKCMax);

    Transaction tx(dm.db());
    // Every category by name with its discount, read once under the write lock.
    QHash<QString, int> categories;
    for (const QVariantList &r : dm.rows(QStringLiteral("select theName,theZK from SType order by ID")))
        if (!categories.contains(r[0].toString())) categories.insert(r[0].toString(), r[1].toInt());

    Row row(sheet, productColumns());
    int nextNumber = 0;
    Money booked; // the quantity booked into stock
    for (int i = 0; i < sheet.rowCount(); ++i) {
        row.at(i);
        const QString name = row.text(QStringLiteral("商品名称"), 50);
        if (name.isEmpty()) {
            ++o.skipped;
            continue;
        }
        const QString category = row.text(QStringLiteral("商品分类"), 20);
        const QString unit = row.text(QStringLiteral("单位"), 10);
        const QString remark = row.text(QStringLiteral("备注"), 100);
        const QString stand = row.text(QStringLiteral("规格"), 20);
        QString code = row.text(QStringLiteral("商品编码"), 16);
        Money jh, xs, quantity;
        if (!readNumber(row, QStringLiteral("采购单价"), NumInput::Price, &jh, &o)
            || !readNumber(row, QStringLiteral("销售单价"), NumInput::Price, &xs, &o)
            || !readNumber(row, QStringLiteral("库存数量"), NumInput::Quantity, &quantity, &o))
            return o; // the transaction rolls back: nothing of the file stays

        // The discount of an empty or unknown category is 100, also for one this import creates.
        const int zk = category.isEmpty() ? 100 : categories.value(category, 100);
        if (code.isEmpty()) code = dm.NewSPNum(&nextNumber);
        const bool book = saveStock; // a quantity of 0 still books the product into the warehouse

        const auto same = dm.rows(QStringLiteral("select ID,theJH from SShop where theNum=? and theDel=? order by ID"),
                                  {code, live});
        if (!same.isEmpty()) {
            // A known code: the product stays as it is; only its stock grows.
            if (book) {
                const int id = same[0][0].toInt();
                dm.KC_Up(warehouse, id, quantity);
                dm.SaveSList(importWord, noNumber, warehouse, id, quantity, Money(), Money::fromVariant(same[0][1]));
                ++o.stockRows;
                booked += quantity;
            }
            continue;
        }
        if (!category.isEmpty() && !categories.contains(category)) {
            dm.mySQL(QStringLiteral("insert into SType(theName,Remark,theState,theZK) values(?,'',?,100)"),
                     {category, stateOn});
            categories.insert(category, 100);
            ++o.categories;
        }
        const int id = int(dm.insertId(QStringLiteral("insert into SShop(theType,theName,theUnit,theJH,Remark,thePY,theState,"
                                                      "theNum,theDate,theXS,theDel,theStand,theCB,theKCMin,theKCMax,theZK,theCD,thePH) "
                                                      "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,'','')"),
                                       {category, name, unit, jh.toVariant(), remark, myRetPY(name), stateOn, code, G.WorkDate,
                                        xs.toVariant(), live, stand, jh.toVariant(), kcMin.toVariant(), kcMax.toVariant(), zk}));
        ++o.imported;
        if (book) {
            dm.KC_Up(warehouse, id, quantity);
            dm.SaveSList(importWord, noNumber, warehouse, id, quantity, Money(), jh);
            ++o.stockRows;
            booked += quantity;
        }
    }
    OpLog::write(dm, QString::fromUtf8(OpLogWord::ProductImport), QString(), Money(), booked,
                 QStringLiteral("%1 个商品 %2").arg(o.imported).arg(sheet.source));
    tx.commit();
    o.ok = true;
    return o;
}

Outcome importPartners(frmDM &dm, const Sheet &sheet)
{
    const QStringList missing = sheet.missing(partnerColumns());
    if (!missing.isEmpty()) return missingColumns(missing);
    Outcome o;
    const QString live = QString::fromUtf8(Words::No);

    Transaction tx(dm.db());
    Row row(sheet, partnerColumns());
    for (int i = 0; i < sheet.rowCount(); ++i) {
        row.at(i);
        const QString name = row.text(QStringLiteral("单位名称"), 50);
        if (name.isEmpty()) {
            // A row without a name ends the list; what came before it is kept.
            o.stoppedAtRow = row.sheetRow();
            break;
        }
        if (dm.rowCount(QStringLiteral("select ID from SUnits where theName=? and theDel=?"), {name, live}) > 0) {
            ++o.skipped;
            continue;
        }
        dm.mySQL(QStringLiteral("insert into SUnits(theName,thePro,thePho,theAdd,Remark,thePY,theState,theDel,theType) "
                                "values(?,?,?,?,?,?,?,?,?)"),
                 {name, row.text(QStringLiteral("联系人"), 20), row.text(QStringLiteral("联系电话"), 30),
                  row.text(QStringLiteral("地址"), 60), row.text(QStringLiteral("备注"), 100), myRetPY(name),
                  QString::fromUtf8(Words::StateOn), live, QString::fromUtf8(Words::UTypeBoth)});
        ++o.imported;
    }
    OpLog::write(dm, QString::fromUtf8(OpLogWord::PartnerImport), QString(), Money(), Money(),
                 QStringLiteral("%1 个往来单位 %2").arg(o.imported).arg(sheet.source));
    tx.commit();
    o.ok = true;
    return o;
}

} // namespace SheetImport

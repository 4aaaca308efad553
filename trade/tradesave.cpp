// Storing and posting a trade document: header, lines, stock, stock ledger,
// prices and cost, settlement row, partner balance and money log, in one transaction.
#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "data/oplog.h"
#include "data/shopoptions.h"
#include "data/transaction.h"
#include "data/words.h"
#include "tradedoc.h"

#include <QHash>

namespace {

void writeHeader(frmDM &dm, const TradeKindInfo &k, const TradeDoc &doc, const QString &num, bool changing)
{
    const QString yc = QString::fromUtf8(doc.preSave ? Words::Yes : Words::No);
    const Money total = doc.total();
    const QVariantList values{doc.uid, total.toVariant(), doc.paid().toVariant(), doc.owed().toVariant(), doc.account,
                              doc.warehouse, doc.handler, G.LoginName, doc.remark, doc.totalCount().toVariant(),
                              NumToChar(total), doc.partnerName, doc.myDate};
    const QString cols = QStringLiteral("UID,theHJ,theSJ,%1,AName,WName,UName,IName,Remark,theCount,theDX,MName,myDate")
                             .arg(k.owedColumn);
    if (changing) {
        QStringList sets;
        for (const QString &c : cols.split(QLatin1Char(','))) sets << c + QStringLiteral("=?");
        QVariantList binds = values;
        if (k.canPreSave) { sets << QStringLiteral("theYC=?"); binds << yc; }
        binds << num;
        dm.mySQL(QStringLiteral("delete from %1 where theNum=?").arg(k.lines), {num});
        dm.mySQL(QStringLiteral("update %1 set %2 where theNum=?").arg(k.head, sets.join(QLatin1Char(','))), binds);
        return;
    }
    QString allCols = QStringLiteral("theDate,theNum,theDel,") + cols;
    QVariantList binds{G.WorkDate, num, QString::fromUtf8(Words::No)};
    binds += values;
    if (k.canPreSave) { allCols += QStringLiteral(",theYC"); binds << yc; }
    dm.mySQL(QStringLiteral("insert into %1(%2) values(%3)")
                 .arg(k.head, allCols, placeholders(binds.size())),
             binds);
}

// The cost recorded on a sales line, by product: the product's cost price,
// else its purchase price, else 0. Read for all the lines at once.
QHash<int, Money> lineCosts(frmDM &dm, const QVector<TradeLine> &lines)
{
    QHash<int, Money> costs;
    QList<int> ids;
    for (const TradeLine &l : lines) {
        costs.insert(l.sid, Money());
        ids << l.sid;
    }
    for (const QVariantList &row : dm.rowsOfIds(QStringLiteral("select ID, theCB, theJH from SShop where ID in (%1)"), {}, ids))
        costs[row[0].toInt()] = Money::fromVariant(row[1].isNull() ? row[2] : row[1]);
    return costs;
}

} // namespace

QString saveTradeDoc(frmDM &dm, const TradeDoc &doc, TradeCheck *refused)
{
    const TradeKindInfo &k = tradeKind(doc.kind);
    const bool changing = !doc.num.isEmpty();
    const bool posted = !(k.canPreSave && doc.preSave);

    Transaction tx(dm.db());
    // Checked while this save holds the database: another seat cannot sell the
    // same stock between the test and the postings.
    const TradeCheck check = checkTradeDoc(dm, doc);
    if (!check.ok()) {
        if (!refused) throw DbError(check.message);
        *refused = check;
        return QString();
    }
    if (changing) {
        // Only a live pre-saved document may be changed; anything else would post it twice.
        const auto r = dm.rowsToChange(QStringLiteral("select theYC, theDel from %1 where theNum=?").arg(k.head), {doc.num});
        if (!k.canPreSave || r.size() != 1 || r[0][0].toString() != QString::fromUtf8(Words::Yes)
            || r[0][1].toString() != QString::fromUtf8(Words::No))
            throw DbError(QStringLiteral("单据 %1 不是可以修改的预存单据！").arg(doc.num));
    }
    // The price options as the books hold them under this save's lock.
    const ShopOptions options = currentShopOptions(dm);
    QString num = doc.num;
    if (changing)
        writeHeader(dm, k, doc, num, true);
    else
        num = dm.insertNumbered(k.head, k.prefix, [&](const QString &n) { writeHeader(dm, k, doc, n, false); });

    // The lines are stored first, all together: a cost worked out from the
    // posted receipts' lines counts this receipt's own.
    const bool sales = k.salesLines;
    QHash<int, Money> costs;   // the cost recorded on a sales line, by product
    if (sales) costs = lineCosts(dm, doc.lines);
    QVector<QVariantList> lineRows;
    lineRows.reserve(doc.lines.size());
    int bh = 0;
    for (const TradeLine &l : doc.lines) {
        ++bh;
        const Money sum = l.amount(doc.kind);
        if (sales)
            lineRows << QVariantList{num, l.sid, l.price.toVariant(), l.count.toVariant(), sum.toVariant(),
                                     costs.value(l.sid).toVariant(), l.remark, bh, l.zk};
        else
            lineRows << QVariantList{num, l.sid, l.price.toVariant(), l.count.toVariant(), sum.toVariant(), l.remark, bh};
    }
    static const QStringList salesColumns = QStringLiteral("theNum,SID,thePrice,theCount,theSum,theJJ,Remark,theBH,theZK").split(QLatin1Char(','));
    static const QStringList otherColumns = QStringLiteral("theNum,SID,thePrice,theCount,theSum,Remark,theBH").split(QLatin1Char(','));
    dm.insertRows(k.lines, sales ? salesColumns : otherColumns, lineRows);

    if (doc.kind == TradeKind::Purchase) {
        QVector<frmDM::CostLine> costLines;
        for (const TradeLine &l : doc.lines) {
            if (options.purchaseSetsPrice) dm.mySQL(QStringLiteral("update SShop set theJH=? where ID=?"), {l.price.toVariant(), l.sid});
            costLines << frmDM::CostLine{l.sid, l.count, l.price};
        }
        // The cost price is the cost of the goods in stock: it moves when the
        // goods arrive, once per receipt, never at a pre-save. It is worked out
        // against the stock before the receipt's goods arrive, line by line.
        if (posted) dm.myShopCBs(doc.warehouse, costLines);
    }
    QVector<frmDM::LedgerRow> ledger;
    for (const TradeLine &l : doc.lines) {
        if (posted) {
            if (k.stockIn)
                ledger << frmDM::LedgerRow{k.stockWord, num, doc.warehouse, l.sid, l.count, Money(), l.price,
                                           dm.KC_Up(doc.warehouse, l.sid, l.count)};
            else
                ledger << frmDM::LedgerRow{k.stockWord, num, doc.warehouse, l.sid, Money(), l.count, l.price,
                                           dm.KC_Do(doc.warehouse, l.sid, l.count)};
        }
        if (doc.kind == TradeKind::Sales && options.salesSetsPrice)
            dm.mySQL(QStringLiteral("update SShop set theXS=? where ID=?"), {l.price.toVariant(), l.sid});
    }
    dm.SaveSListRows(ledger);

    if (posted) {
        const Money paid = doc.paid();
        const Money owed = doc.owed();
        if (doc.paidText != QLatin1String("0"))
            dm.mySQL(QStringLiteral("insert into %1(theNum,theMoney,AName,%2,%3) values(?,?,?,?,?)")
                         .arg(k.settleTable, k.settlePerson, k.settleDate),
                     {num, paid.toVariant(), doc.account, doc.person, G.WorkDate});
        if (!owed.isZero()) postBalance(dm, k.balance, doc.uid, owed);
        if (!paid.isZero())
            dm.SaveList(k.cashWord, num, k.cashIn ? paid : Money(), k.cashIn ? Money() : paid, doc.account,
                        doc.person, G.LoginName);
    }
    const char *what = changing ? OpLogWord::Changed : doc.preSave && k.canPreSave ? OpLogWord::PreSaved : OpLogWord::Saved;
    OpLog::write(dm, k.caption.chopped(1) + QString::fromUtf8(what), num, doc.total(), doc.totalCount());
    tx.commit();
    return num;
}

bool loadTradeDoc(frmDM &dm, TradeKind kind, const QString &num, TradeDoc *doc)
{
    const TradeKindInfo &k = tradeKind(kind);
    const auto head = dm.rows(QStringLiteral("select H.UID, H.MName, H.myDate, H.WName, H.UName, H.AName, H.Remark "
                                             "from %1 H inner join SUnits U on H.UID=U.ID where H.theNum=?").arg(k.head),
                              {num});
    if (head.size() != 1) return false;
    TradeDoc d;
    d.kind = kind;
    d.num = num;
    const QVariantList &h = head.first();
    d.uid = h[0].toInt();
    d.partnerName = h[1].toString();
    d.myDate = h[2].toString();
    d.warehouse = h[3].toString();
    d.handler = h[4].toString();
    d.account = h[5].toString();
    d.remark = h[6].toString();
    const QString zk = k.salesLines ? QStringLiteral("L.theZK") : QStringLiteral("100");
    const auto lines = dm.rows(QStringLiteral("select L.SID, S.theNum, S.theName, L.thePrice, L.theCount, %1, L.Remark "
                                              "from %2 L inner join SShop S on L.SID=S.ID where L.theNum=? order by L.theBH, L.ID")
                                   .arg(zk, k.lines),
                               {num});
    for (const auto &r : lines) {
        TradeLine l;
        l.sid = r[0].toInt();
        l.code = r[1].toString();
        l.name = r[2].toString();
        l.price = Money::fromVariant(r[3]);
        l.count = Money::fromVariant(r[4]);
        l.zk = r[5].toInt();
        l.remark = r[6].toString();
        d.lines << l;
    }
    d.paidText = d.total().toString();
    *doc = d;
    return true;
}

// Storing, posting and deleting a stock document: header, lines, stock and
// stock ledger, each in one transaction.
#include "data/dberror.h"
#include "data/oplog.h"
#include "data/dm.h"
#include "data/globals.h"
#include "data/shopoptions.h"
#include "data/transaction.h"
#include "data/words.h"
#include "stockdoc.h"

namespace {

void writeHeader(frmDM &dm, const StockKindInfo &k, const StockDoc &doc, const QString &num)
{
    QString cols = QStringLiteral("theDate,theNum,theDel,WName");
    QVariantList binds{G.WorkDate, num, QString::fromUtf8(Words::No), doc.warehouse};
    if (k.twoWarehouses) {
        cols += QStringLiteral(",DName");
        binds << doc.issuing;
    }
    cols += QStringLiteral(",UName,IName,Remark,myDate");
    binds << doc.handler << G.LoginName << doc.remark << doc.myDate;
    if (k.totals) {
        const Money total = doc.total();
        cols += QStringLiteral(",theSum,theDX,theCount");
        binds << total.toVariant() << NumToChar(total) << doc.totalCount().toVariant();
    }
    dm.mySQL(QStringLiteral("insert into %1(%2) values(%3)")
                 .arg(k.head, cols, placeholders(binds.size())),
             binds);
}

// The movements of one line by a side's rules: at save as the rules say, at deletion reversed.
void addMoves(QVector<StockMove> *moves, const StockSide &side, const QString &issuing, const QString &receiving,
              int sid, Money count, Money price, bool deleting)
{
    for (const StockMoveRule &r : side.moves) {
        StockMove m;
        m.warehouse = r.warehouse == StockWarehouse::Issuing ? issuing : receiving;
        m.sid = sid;
        m.count = count;
        m.price = price;
        m.in = deleting ? !r.in : r.in;
        m.word = deleting ? r.deletedWord : r.word;
        *moves << m;
    }
}

} // namespace

QString saveStockDoc(frmDM &dm, const StockDoc &doc, StockCheck *refused)
{
    const StockKindInfo &k = stockKind(doc.kind);
    Transaction tx(dm.db());
    // Checked while this save holds the database: another seat cannot take the
    // same stock between the test and the postings.
    const StockCheck check = checkStockDoc(dm, doc);
    if (!check.ok()) {
        if (!refused) throw DbError(check.message);
        *refused = check;
        return QString();
    }
    // The header first: its lines never stand without it.
    const QString num = dm.insertNumbered(k.head, k.prefix, [&](const QString &n) { writeHeader(dm, k, doc, n); });
    for (int s = 0; s < k.sides.size(); ++s) {
        const StockSide &side = k.sides[s];
        int bh = 0;
        for (const StockLine &l : doc.sides[s]) {
            dm.mySQL(QStringLiteral("insert into %1(theNum,SID,thePrice,theCount,theSum,Remark,theBH) "
                                    "values(?,?,?,?,?,?,?)").arg(side.lines),
                     {num, l.sid, l.price.toVariant(), l.count.toVariant(), l.amount().toVariant(), l.remark, ++bh});
            // Each line's movements right after it, so every ledger row's
            // balance is the stock after its own movement.
            QVector<StockMove> moves;
            addMoves(&moves, side, doc.issuing, doc.warehouse, l.sid, l.count, l.price, false);
            postStockMoves(dm, num, moves);
        }
    }
    OpLog::write(dm, k.caption.chopped(1) + QString::fromUtf8(OpLogWord::Saved), num, doc.total(), doc.totalCount());
    tx.commit();
    return num;
}

DeleteResult deleteStockDoc(frmDM &dm, StockKind kind, int id)
{
    const StockKindInfo &k = stockKind(kind);
    Transaction tx(dm.db());
    const auto head = dm.rowsToChange(QStringLiteral("select theNum, WName, %1, theDel from %2 where ID=?")
                                  .arg(k.twoWarehouses ? QStringLiteral("DName") : QStringLiteral("''"), k.head),
                              {id});
    if (head.size() != 1) return {DeleteOutcome::NotFound, QStringLiteral("该单据已不存在！")};
    const QString num = head[0][0].toString();
    const QString receiving = head[0][1].toString();
    const QString issuing = head[0][2].toString();
    if (head[0][3].toString() == QString::fromUtf8(Words::Yes))
        return {DeleteOutcome::AlreadyDeleted, QStringLiteral("单号 %1 已经删除！").arg(num)};

    // Every movement of the save taken back, side by side, line by line.
    QVector<StockMove> moves;
    Money total, count;
    for (const StockSide &side : k.sides) {
        const auto lines = dm.rows(QStringLiteral("select SID, thePrice, theCount, theSum from %1 where theNum=? order by theBH, ID")
                                       .arg(side.lines),
                                   {num});
        for (const auto &l : lines) {
            addMoves(&moves, side, issuing, receiving, l[0].toInt(), Money::fromVariant(l[2]),
                     Money::fromVariant(l[1]), true);
            total += Money::fromVariant(l[3]);
            count += Money::fromVariant(l[2]);
        }
    }
    if (!currentShopOptions(dm).negativeStock) {
        const QString shortfall = stockShortfall(dm, moves, QStringLiteral("不能删除！"));
        if (!shortfall.isEmpty()) return {DeleteOutcome::Refused, shortfall};
    }
    dm.mySQL(QStringLiteral("update %1 set theDel=? where ID=?").arg(k.head), {QString::fromUtf8(Words::Yes), id});
    postStockMoves(dm, num, moves);
    OpLog::write(dm, QString::fromUtf8(OpLogWord::Delete), num, total, count, k.caption);
    tx.commit();
    return {DeleteOutcome::Deleted, QString()};
}

bool loadStockDoc(frmDM &dm, StockKind kind, const QString &num, StockDoc *doc)
{
    const StockKindInfo &k = stockKind(kind);
    const auto head = dm.rows(QStringLiteral("select myDate, %1, WName, UName, Remark from %2 where theNum=?")
                                  .arg(k.twoWarehouses ? QStringLiteral("DName") : QStringLiteral("''"), k.head),
                              {num});
    if (head.size() != 1) return false;
    StockDoc d;
    d.kind = kind;
    d.myDate = head[0][0].toString();
    d.issuing = head[0][1].toString();
    d.warehouse = head[0][2].toString();
    d.handler = head[0][3].toString();
    d.remark = head[0][4].toString();
    for (int s = 0; s < k.sides.size(); ++s) {
        const auto lines = dm.rows(QStringLiteral("select L.SID, S.theNum, S.theName, L.thePrice, L.theCount, L.Remark, L.theBH "
                                                  "from %1 L inner join SShop S on L.SID=S.ID where L.theNum=? "
                                                  "order by L.theBH, L.ID").arg(k.sides[s].lines),
                                   {num});
        for (const auto &r : lines) {
            StockLine l;
            l.sid = r[0].toInt();
            l.code = r[1].toString();
            l.name = r[2].toString();
            l.price = Money::fromVariant(r[3]);
            l.count = Money::fromVariant(r[4]);
            l.remark = r[5].toString();
            l.row = r[6].toInt();
            d.sides[s] << l;
        }
    }
    *doc = d;
    return true;
}

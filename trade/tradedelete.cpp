#include "tradedelete.h"

#include "data/dm.h"
#include "data/globals.h"
#include "data/oplog.h"
#include "data/shopoptions.h"
#include "data/transaction.h"
#include "data/words.h"

namespace {

const char *cashDeletedWord(TradeKind kind)
{
    switch (kind) {
    case TradeKind::Purchase: return MoneyWord::PurchaseDeleted;
    case TradeKind::Sales: return MoneyWord::SalesDeleted;
    case TradeKind::PurchaseReturn: return MoneyWord::PurchaseReturnDeleted;
    case TradeKind::SalesReturn: break;
    }
    return MoneyWord::SalesReturnDeleted;
}

} // namespace

DeleteResult deleteTradeDoc(frmDM &dm, TradeKind kind, int docId)
{
    const TradeKindInfo &k = tradeKind(kind);
    const QString yes = QString::fromUtf8(Words::Yes);
    const QString no = QString::fromUtf8(Words::No);

    Transaction tx(dm.db());
    const auto head = dm.rowsToChange(QStringLiteral("select theNum, UID, %1, WName, theDel%2, theHJ, theCount from %3 where ID=?")
                                  .arg(k.owedColumn, k.canPreSave ? QStringLiteral(", theYC") : QString(), k.head),
                              {docId});
    if (head.size() != 1) return {DeleteOutcome::NotFound, QStringLiteral("该单据已不存在！")};
    const QString num = head[0][0].toString();
    const int uid = head[0][1].toInt();
    const Money owed = Money::fromVariant(head[0][2]);
    const QString warehouse = head[0][3].toString();
    // A pre-saved document posted nothing; returns are posted when saved.
    const bool posted = !k.canPreSave || head[0][5].toString() == no;
    const Money total = Money::fromVariant(head[0][head[0].size() - 2]);
    const Money count = Money::fromVariant(head[0][head[0].size() - 1]);
    if (head[0][4].toString() == yes)
        return {DeleteOutcome::AlreadyDeleted, QStringLiteral("单号 %1 已经删除！").arg(num)};

    // What the save put into stock comes out again, and the other way round.
    QVector<StockMove> moves;
    if (posted) {
        const auto lines = dm.rows(QStringLiteral("select SID, thePrice, theCount from %1 where theNum=? order by theBH, ID")
                                       .arg(k.lines),
                                   {num});
        for (const auto &l : lines) {
            StockMove m;
            m.warehouse = warehouse;
            m.sid = l[0].toInt();
            m.price = Money::fromVariant(l[1]);
            m.count = Money::fromVariant(l[2]);
            m.in = !k.stockIn;
            m.word = k.stockDeletedWord;
            moves << m;
        }
        if (!currentShopOptions(dm).negativeStock) {
            const QString shortfall = stockShortfall(dm, moves, QStringLiteral("不能删除！"));
            if (!shortfall.isEmpty()) return {DeleteOutcome::Refused, shortfall};
        }
    }

    const bool isReturn = !k.canPreSave;
    auto markDeleted = [&] { dm.mySQL(QStringLiteral("update %1 set theDel=? where ID=?").arg(k.head), {yes, docId}); };
    auto takeBackOwed = [&] {
        if (owed > Money()) postBalance(dm, inverse(k.balance), uid, owed);
    };

    // Receipts and deliveries are marked first and reversed only when they were
    // posted; returns give back their balance first (the order the books were kept in).
    if (isReturn) takeBackOwed();
    markDeleted();
    if (posted) {
        if (!isReturn) takeBackOwed();
        postStockMoves(dm, num, moves);
        // Every settlement (the one made at entry and each later one) comes back
        // through the cash log, so balance and cash both end where they began.
        const auto settled = dm.rows(QStringLiteral("select theMoney, AName, %1 from %2 where theNum=? order by ID")
                                         .arg(k.settlePerson, k.settleTable),
                                     {num});
        const QString word = QString::fromUtf8(cashDeletedWord(kind));
        for (const auto &s : settled) {
            const Money amount = Money::fromVariant(s[0]);
            // The money goes back the other way: what came in goes out.
            dm.SaveList(word, num, k.cashIn ? Money() : amount, k.cashIn ? amount : Money(), s[1].toString(),
                        s[2].toString(), G.LoginName);
        }
    }
    OpLog::write(dm, QString::fromUtf8(OpLogWord::Delete), num, total, count, k.caption);
    tx.commit();
    return {DeleteOutcome::Deleted, QString()};
}

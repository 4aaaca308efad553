#include "settle.h"

#include "data/dm.h"
#include "data/globals.h"
#include "data/oplog.h"
#include "data/numinput.h"
#include "data/transaction.h"
#include "data/words.h"

namespace {

SettleKindInfo make(TradeKind k)
{
    namespace M = MoneyWord;
    const auto pay = [k](const char *form, const char *word) {
        return SettleKindInfo{k, QString::fromUtf8(form), true, QStringLiteral("付款"), QStringLiteral("应付金额"),
                              QString::fromUtf8(word), false, inverse(tradeKind(k).balance)};
    };
    const auto receive = [k](const char *form, const char *word) {
        return SettleKindInfo{k, QString::fromUtf8(form), false, QStringLiteral("收款"), QStringLiteral("应收金额"),
                              QString::fromUtf8(word), true, inverse(tradeKind(k).balance)};
    };
    switch (k) {
    case TradeKind::Purchase: return pay("frmJH_FK", M::PurchasePaid);
    case TradeKind::Sales: return receive("frmXS_SK", M::SalesReceived);
    case TradeKind::PurchaseReturn: return receive("frmCG_O_SK", M::PurchaseReturnReceived);
    case TradeKind::SalesReturn: break;
    }
    return pay("frmXS_O_FK", M::SalesReturnPaid);
}

} // namespace

const SettleKindInfo &settleKind(TradeKind kind)
{
    static const SettleKindInfo kinds[4] = {make(TradeKind::Purchase), make(TradeKind::Sales),
                                            make(TradeKind::PurchaseReturn), make(TradeKind::SalesReturn)};
    return kinds[int(kind)];
}

QString SettleKindInfo::personLabel() const
{
    return verb.left(1) + QStringLiteral("  ") + verb.mid(1) + QStringLiteral("  人：");
}

QString SettleKindInfo::msgAmountEmpty() const
{
    return amountWord() + QStringLiteral(" 不能为空，请录入 ") + amountWord() + QStringLiteral("！");
}

QString SettleKindInfo::msgNoAccount() const { return QStringLiteral("请选择 ") + verb + QStringLiteral("方式！"); }
QString SettleKindInfo::msgNoPerson() const { return QStringLiteral("请选择 ") + verb + QStringLiteral("人！"); }

QString SettleKindInfo::msgOverOwed() const
{
    return amountWord() + QStringLiteral(" 大于 ") + owedWord + QStringLiteral("，请重新录入！");
}

QString SettleKindInfo::msgOwedZero(const QString &num) const
{
    return QStringLiteral("单号 ") + num + QLatin1Char(' ') + owedWord + QStringLiteral(" 为零，不能") + verb
         + QStringLiteral("！");
}

QString SettleKindInfo::msgPreSaved(const QString &num) const
{
    return QStringLiteral("单号 ") + num + QStringLiteral(" 是预存单，不能") + verb + QStringLiteral("！");
}

QString SettleKindInfo::msgDeleted(const QString &num) const
{
    return QStringLiteral("单号 ") + num + QStringLiteral(" 已删除，不能") + verb + QStringLiteral("！");
}

SettleCheck settleTradeDoc(frmDM &dm, TradeKind kind, int docId, const Settlement &s)
{
    const TradeKindInfo &k = tradeKind(kind);
    const SettleKindInfo &w = settleKind(kind);
    auto refuse = [](SettleField f, const QString &m) { return SettleCheck{f, m}; };

    if (s.amountText.trimmed().isEmpty()) return refuse(SettleField::Amount, w.msgAmountEmpty());
    if (s.account.isEmpty()) return refuse(SettleField::Account, w.msgNoAccount());
    if (s.person.isEmpty()) return refuse(SettleField::Person, w.msgNoPerson());
    // What the key filter stops is refused again here: a pasted "-5" or "1.2.3"
    // is never booked.
    const NumInput::Reading r = NumInput::read(s.amountText, NumInput::Amount);
    if (!r.ok()) return refuse(SettleField::Amount, r.message(w.amountWord()));
    const Money amount = r.value;

    Transaction tx(dm.db());
    // Read again under the write lock: another window may have settled or
    // deleted the document since this dialog was opened.
    const auto head = dm.rowsToChange(QStringLiteral("select theNum, UID, %1, theSJ, theDel%2 from %3 where ID=?")
                                  .arg(k.owedColumn, k.canPreSave ? QStringLiteral(", theYC") : QString(), k.head),
                              {docId});
    if (head.size() != 1) return refuse(SettleField::Document, QStringLiteral("该单据已不存在！"));
    const QString num = head[0][0].toString();
    const int uid = head[0][1].toInt();
    const Money owed = Money::fromVariant(head[0][2]);
    const Money paid = Money::fromVariant(head[0][3]);
    if (head[0][4].toString() == QString::fromUtf8(Words::Yes)) return refuse(SettleField::Document, w.msgDeleted(num));
    if (k.canPreSave && head[0][5].toString() == QString::fromUtf8(Words::Yes))
        return refuse(SettleField::Document, w.msgPreSaved(num));
    if (amount > owed) return refuse(SettleField::Amount, w.msgOverOwed());

    dm.mySQL(QStringLiteral("insert into %1(theNum,theMoney,AName,%2,%3) values(?,?,?,?,?)")
                 .arg(k.settleTable, k.settlePerson, k.settleDate),
             {num, amount.toVariant(), s.account, s.person, s.date});
    postBalance(dm, w.balance, uid, amount);
    dm.SaveList(w.cashWord, num, w.cashIn ? amount : Money(), w.cashIn ? Money() : amount, s.account, s.person,
                G.LoginName);
    dm.mySQL(QStringLiteral("update %1 set %2=?, theSJ=? where ID=?").arg(k.head, k.owedColumn),
             {(owed - amount).toVariant(), (paid + amount).toVariant(), docId});
    OpLog::write(dm, QString::fromUtf8(OpLogWord::Settle), num, amount, Money(), k.caption);
    tx.commit();
    return {};
}

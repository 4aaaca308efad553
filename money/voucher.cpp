#include "voucher.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/globals.h"
#include "data/oplog.h"
#include "data/numinput.h"
#include "data/transaction.h"
#include "data/words.h"

namespace {

VoucherSide payment()
{
    VoucherSide s;
    s.kind = VoucherKind::Payment;
    s.table = QStringLiteral("UFK");
    s.amountColumn = QStringLiteral("theFK");
    s.balanceColumn = QStringLiteral("theYF");
    s.prefix = QStringLiteral("FK");
    s.callerCode = QStringLiteral("fk");
    s.excludedType = QString::fromUtf8(Words::UTypeCustomer);
    s.enteredWord = QString::fromUtf8(MoneyWord::PaymentEntered);
    s.deletedWord = QString::fromUtf8(MoneyWord::PaymentDeleted);
    s.cashIn = false;
    s.caption = QStringLiteral("付款单");
    s.listCaption = QStringLiteral("付款管理");
    s.group = QStringLiteral("付款信息");
    s.partnerLabel = QStringLiteral("供  应  商：");
    s.partnerHint = QStringLiteral("录入供应商的拼音首字母，按回车...");
    s.partnerWord = QStringLiteral("供应商");
    s.dateWord = QStringLiteral("付款日期");
    s.amountWord = QStringLiteral("付款金额");
    s.accountWord = QStringLiteral("付款方式");
    s.countLabel = QStringLiteral("付款数量：");
    s.sumLabel = QStringLiteral("付款合计：");
    s.exportTitle = QStringLiteral("付款表");
    s.printItem = QStringLiteral("打印付款单 &P");
    s.idField = QStringLiteral("FKID");
    s.typedAmountLimit = 10;
    s.msgNoPartner = QStringLiteral("供应商 不能为空！ 请在 供应商 处 按回车 选择 供应商！");
    s.msgNotPositive = QStringLiteral("付款金额 不能小于或等于零！");
    s.msgNoAccount = QStringLiteral("请选择 付款方式！");
    return s;
}

VoucherSide receipt()
{
    VoucherSide s;
    s.kind = VoucherKind::Receipt;
    s.table = QStringLiteral("USK");
    s.amountColumn = QStringLiteral("theSK");
    s.balanceColumn = QStringLiteral("theYS");
    s.prefix = QStringLiteral("SK");
    s.callerCode = QStringLiteral("sk");
    s.excludedType = QString::fromUtf8(Words::UTypeSupplier);
    s.enteredWord = QString::fromUtf8(MoneyWord::ReceiptEntered);
    s.deletedWord = QString::fromUtf8(MoneyWord::ReceiptDeleted);
    s.cashIn = true;
    s.caption = QStringLiteral("收款单");
    s.listCaption = QStringLiteral("收款管理");
    s.group = QStringLiteral("收款信息");
    s.partnerLabel = QStringLiteral("客户名称：");
    s.partnerHint = QStringLiteral("录入客户名称的拼音首字母，按回车...");
    s.partnerWord = QStringLiteral("客户名称");
    s.dateWord = QStringLiteral("收款日期");
    s.amountWord = QStringLiteral("收款金额");
    s.accountWord = QStringLiteral("收款方式");
    s.countLabel = QStringLiteral("收款数量：");
    s.sumLabel = QStringLiteral("收款合计：");
    s.exportTitle = QStringLiteral("收款表");
    s.printItem = QStringLiteral("打印收款单 &P");
    s.idField = QStringLiteral("SKID");
    s.typedAmountLimit = 0;
    s.msgNoPartner = QStringLiteral("客户名称 不能为空！ 请在 客户名称 处 按回车 选择 客户名称！");
    s.msgNotPositive = QStringLiteral("收款金额 不能小于等于零！");
    s.msgNoAccount = QStringLiteral("请选择 收款方式！");
    return s;
}

void lower(frmDM &dm, VoucherKind kind, int uid, Money amount)
{
    if (kind == VoucherKind::Payment) dm.YF_Do(uid, amount);
    else dm.YS_Do(uid, amount);
}

void raise(frmDM &dm, VoucherKind kind, int uid, Money amount)
{
    if (kind == VoucherKind::Payment) dm.YF_Up(uid, amount);
    else dm.YS_Up(uid, amount);
}

QString balanceWord(const VoucherSide &s)
{
    return s.kind == VoucherKind::Payment ? QStringLiteral("应付金额") : QStringLiteral("应收金额");
}

QString balanceOutOfRange(const VoucherSide &s)
{
    return QStringLiteral("该往来单位的 %1 将超出允许的范围（绝对值最大 %2），请重新录入 %3！")
        .arg(balanceWord(s), Money::storeMax().toString(), s.amountWord);
}

} // namespace

const VoucherSide &voucherSide(VoucherKind kind)
{
    static const VoucherSide p = payment();
    static const VoucherSide r = receipt();
    return kind == VoucherKind::Payment ? p : r;
}

Money voucherAmount(const Voucher &v)
{
    return NumInput::read(v.amountText, NumInput::SignedAmount).value;
}

VoucherCheck checkVoucher(const Voucher &v)
{
    const VoucherSide &s = voucherSide(v.kind);
    if (v.uid <= 0) return {VoucherField::Partner, s.msgNoPartner};
    // A minus sign is read (a pasted "-5" is refused as not above 0, not as
    // unreadable); letters, a second point, a fifth decimal and what lies
    // past the books' range are refused before anything is written.
    const NumInput::Reading r = NumInput::read(v.amountText, NumInput::SignedAmount);
    if (!r.ok()) return {VoucherField::Amount, r.message(s.amountWord)};
    if (r.value <= Money()) return {VoucherField::Amount, s.msgNotPositive};
    if (v.account.isEmpty()) return {VoucherField::Account, s.msgNoAccount};
    if (v.handler.isEmpty()) return {VoucherField::Handler, QStringLiteral("请选择 经手人！")};
    return {};
}

QString saveVoucher(frmDM &dm, const Voucher &v, VoucherCheck *refused)
{
    const VoucherSide &s = voucherSide(v.kind);
    auto refuse = [&](const VoucherCheck &c) {
        if (!refused) throw DbError(c.message);
        *refused = c;
        return QString();
    };
    const VoucherCheck check = checkVoucher(v);
    if (!check.ok()) return refuse(check);
    const Money amount = voucherAmount(v);

    Transaction tx(dm.db());
    // The partner and its balance as they are while this save holds the books.
    const auto partner = dm.rowsToChange(QStringLiteral("select %1 from SUnits where ID=?").arg(s.balanceColumn), {v.uid});
    if (partner.size() != 1) return refuse({VoucherField::Partner, s.msgNoPartner});
    if (!(Money::fromVariant(partner[0][0]) - amount).isStorable())
        return refuse({VoucherField::Amount, balanceOutOfRange(s)});

    const QString num = dm.insertNumbered(s.table, s.prefix, [&](const QString &n) {
        dm.mySQL(QStringLiteral("insert into %1(theDate,theNum,UID,theDel,%2,AName,UName,IName,Remark,theDX,myDate,MName) "
                                "values(?,?,?,?,?,?,?,?,?,?,?,?)")
                     .arg(s.table, s.amountColumn),
                 {G.WorkDate, n, v.uid, QString::fromUtf8(Words::No), amount.toVariant(), v.account, v.handler,
                  G.LoginName, v.remark, NumToChar(amount), v.myDate, v.partnerName});
    });
    lower(dm, v.kind, v.uid, amount);
    dm.SaveList(s.enteredWord, num, s.cashIn ? amount : Money(), s.cashIn ? Money() : amount, v.account, v.handler,
                G.LoginName);
    OpLog::write(dm, QString::fromUtf8(s.kind == VoucherKind::Payment ? OpLogWord::PaymentSaved : OpLogWord::ReceiptSaved), num, amount);
    tx.commit();
    return num;
}

bool deleteVoucher(frmDM &dm, VoucherKind kind, int id)
{
    const VoucherSide &s = voucherSide(kind);
    Transaction tx(dm.db());
    const auto r = dm.rowsToChange(QStringLiteral("select V.UID, V.%1, V.theNum, V.AName, V.UName, U.%2 from %3 V "
                                                  "left join SUnits U on V.UID=U.ID where V.ID=? and V.theDel=?")
                                       .arg(s.amountColumn, s.balanceColumn, s.table),
                                   {id, QString::fromUtf8(Words::No)}, QStringLiteral("V"));
    if (r.isEmpty()) return false;
    const QVariantList &row = r.first();
    const int uid = row[0].toInt();
    const Money amount = Money::fromVariant(row[1]);
    if (!(Money::fromVariant(row[5]) + amount).isStorable())
        throw DbError(QStringLiteral("删除后该往来单位的 %1 将超出允许的范围，不能删除！").arg(balanceWord(s)));

    raise(dm, kind, uid, amount);
    // The reversal goes the other way: a deleted payment brings the money back in.
    dm.SaveList(s.deletedWord, row[2].toString(), s.cashIn ? Money() : amount, s.cashIn ? amount : Money(),
                row[3].toString(), row[4].toString(), G.LoginName);
    dm.mySQL(QStringLiteral("update %1 set theDel=? where ID=?").arg(s.table), {QString::fromUtf8(Words::Yes), id});
    OpLog::write(dm, QString::fromUtf8(OpLogWord::Delete), row[2].toString(), amount, Money(),
                 s.kind == VoucherKind::Payment ? QStringLiteral("付款单") : QStringLiteral("收款单"));
    tx.commit();
    return true;
}

#pragma once
// Payment vouchers (money paid to a supplier on account, table UFK) and receipt
// vouchers (money received from a customer, table USK): one design, the side
// table below holds what differs. A save writes the voucher, lowers the
// partner's balance and logs the money; a delete reverses both and marks the
// voucher deleted. Each runs in one transaction and reads again what it
// changes, so neither a failure part-way nor a second click can leave the books
// half-written or posted twice.
#include "data/money.h"

#include <QString>

class frmDM;

enum class VoucherKind { Payment, Receipt };

struct VoucherSide {
    VoucherKind kind;
    QString table;          // UFK / USK
    QString amountColumn;   // theFK / theSK
    QString balanceColumn;  // theYF / theYS: the partner balance the voucher lowers
    QString prefix;         // FK / SK
    QString callerCode;     // "fk" / "sk": the partner lookup's caller code
    QString excludedType;   // partners of this type are never offered
    QString enteredWord;    // money log word at save
    QString deletedWord;    // money log word at delete
    bool cashIn;            // the save brings money in (receipt) or pays it out

    // Words of the screens.
    QString caption;        // "付款单"
    QString listCaption;    // "付款管理"
    QString group;          // "付款信息"
    QString partnerLabel;   // "供  应  商："
    QString partnerHint;
    QString partnerWord;    // "供应商" / "客户名称": grid title
    QString dateWord;       // "付款日期"
    QString amountWord;     // "付款金额"
    QString accountWord;    // "付款方式"
    QString countLabel;     // "付款数量："
    QString sumLabel;       // "付款合计："
    QString exportTitle;    // "付款表"
    QString printItem;      // "打印付款单 &P"
    QString idField;        // "FKID" / "SKID"
    int typedAmountLimit;   // characters the user may type into the amount; 0 = no limit

    // Refusals, in the order they are checked.
    QString msgNoPartner;
    QString msgNotPositive;
    QString msgNoAccount;
};

const VoucherSide &voucherSide(VoucherKind kind);

// A voucher as the entry screen gathers it.
struct Voucher {
    VoucherKind kind = VoucherKind::Payment;
    int uid = 0;            // partner id; 0 while none is chosen
    QString partnerName;    // as shown in the partner box
    QString myDate;         // voucher date "yyyy-MM-dd"
    QString amountText;     // as typed
    QString account;
    QString handler;
    QString remark;
};

enum class VoucherField { None, Partner, Amount, Account, Handler };

struct VoucherCheck {
    VoucherField field = VoucherField::None;
    QString message;
    bool ok() const { return field == VoucherField::None; }
};

// The checks before anything is written, in order: partner chosen; amount a
// number of at most four decimals inside the books' range and above 0;
// account; handler.
VoucherCheck checkVoucher(const Voucher &v);
// The amount as read by the checks (0 when it cannot be read).
Money voucherAmount(const Voucher &v);

// Checks, stores and posts the voucher in one transaction; returns its number.
// Inside the transaction it also checks that the partner is there and that its
// balance stays inside the books' range. A refusal returns an empty number and
// fills *refused (or throws DbError with its message when refused is null).
// Throws DbError; nothing is left behind then. Does not print.
QString saveVoucher(frmDM &dm, const Voucher &v, VoucherCheck *refused = nullptr);

// Deletes the live voucher with that ID: the balance goes back up, the money
// log gets the reversal under the current business date and login, the voucher
// is marked deleted. The voucher is read again inside the transaction: one
// already deleted (by a second click, or at another seat) is left alone and the
// result is false. Throws DbError; nothing is left behind then.
bool deleteVoucher(frmDM &dm, VoucherKind kind, int id);

#pragma once
// Business partners (SUnits): entry, change, deletion by marking, the type a
// quick entry gives by its caller, the card and the list condition.
#include <QString>

class frmDM;

struct PartnerInput {
    QString name;    // 单位名称
    QString pro;     // 联系人
    QString pho;     // 联系电话
    QString add;     // 地址
    QString remark;  // 备注
    QString type;    // "两者皆是", "供应商" or "客户"; may be empty
    QString ys;      // opening receivable, empty = 0 (new partners only)
    QString yf;      // opening payable, empty = 0 (new partners only)
};

struct PartnerSaveResult {
    // NotNumber: an opening balance its rule refuses; the message names the field.
    enum Status { Invalid, NotNumber, Duplicate, Saved } status = Invalid;
    enum Field { NoField, Name, Receivable, Payable };
    Field field = NoField; // where the cursor goes after a refusal
    QString message;
    int id = 0;
};

// Saves a new partner (id 0) or changes partner `id` in one transaction. Only a
// new partner is tested against the live partners' names and gets its opening
// balances, read as amounts (0 up to Money's largest value, empty = 0; the key
// filter lets no minus sign be typed, so a pasted one is refused too); a change
// never writes the balances. Throws DbError.
PartnerSaveResult savePartner(frmDM &dm, int id, const PartnerInput &in);

// The partner type a quick entry gives, by the caller's code: purchase side
// "供应商", sales side "客户", anything else "两者皆是".
QString partnerTypeForCaller(const QString &code);

struct PartnerRecord {
    bool found = false;
    PartnerInput input; // ys and yf hold the current balances
    QString state;
};
// Reads a partner whatever its state or deletion mark.
PartnerRecord readPartner(frmDM &dm, int id);

// Marks the partner deleted; balances and documents do not hold it back.
void deletePartner(frmDM &dm, int id);

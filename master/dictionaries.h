#pragma once
// The four small dictionaries (warehouses, payment accounts, handlers, product
// categories) share one screen design. This table is what differs between them;
// the functions below are everything they do to the database.
#include <QString>
#include <QVariantList>
#include <QVector>

class frmDM;

struct DictionaryKind {
    QString screen;       // "frmWare"
    QString title;        // window title
    QString table;        // "SWare"
    QString group;        // caption of the entry group
    QString nameLabel;    // label before the name field
    QString nameColumn;   // caption of the name column; also the word of the empty and duplicate messages
    QString savedObject;  // the object named by the success message
    QString inUseSql;     // rows that keep a row from being deleted (bound: the name); empty = no guard
    QString inUseText;    // message when the guard finds rows
    bool discount = false; // categories carry a sales discount
};

// The four kinds, in menu order: frmWare, frmAccount, frmStaff, frmSType.
const QVector<DictionaryKind> &dictionaryKinds();
// The kind of a screen name, or nullptr.
const DictionaryKind *dictionaryKind(const QString &screen);

// The rows as the grid shows them, in storage order: name, [discount,] remark, state, ID.
QVector<QVariantList> dictionaryRows(frmDM &dm, const DictionaryKind &kind);
// The grid's column captions, matching dictionaryRows.
QStringList dictionaryCaptions(const DictionaryKind &kind);

enum class DictionarySave { EmptyName, EmptyDiscount, BadDiscount, Duplicate, Saved };

// The refusal of a category's discount text ("销售折扣 …，请重新录入！"): a whole
// percent from 0 to 999. Empty when the text is a discount; the key filter lets
// only digits be typed, so a pasted "-5" or "9.5" is refused here.
QString discountRefusal(const QString &discount);

// Checks and inserts one new row ("启用"). The discount text is used by categories only;
// an empty one gives EmptyDiscount, one that discountRefusal refuses BadDiscount.
// The name is taken exactly as typed; a name that any row already has, enabled or not, is refused.
// Throws DbError.
DictionarySave saveDictionaryRow(frmDM &dm, const DictionaryKind &kind, const QString &name, const QString &remark,
                                 const QString &discount = QString());

// The message that forbids deleting the row of this name, or an empty text when it may go.
QString dictionaryInUse(frmDM &dm, const DictionaryKind &kind, const QString &name);
// Removes the row for good (dictionary rows are not kept marked deleted).
void deleteDictionaryRow(frmDM &dm, const DictionaryKind &kind, int id);

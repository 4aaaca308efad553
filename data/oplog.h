#pragma once
// The operation log (SOpLog): one row for every change a user makes to the
// books — documents saved, changed and deleted, settlements, stock and cost
// corrections, imports, backups and restores, users, rights and shop options,
// logins and logouts — with the time, the user, the seat, the document number
// and what it moved. A row is written inside the transaction of its change,
// so a change that is rolled back leaves no row. Rows are never changed or
// removed; the books refuse it (data/engine.h, appendOnly).
#include "money.h"

#include <QSqlDatabase>
#include <QString>

class frmDM;

namespace OpLog {

struct Entry {
    QString kind;   // what was done: a word of OpLogWord (data/words.h)
    QString num;    // the document's number, if any
    Money amount;   // the amount it moved
    Money count;    // the quantity it moved
    QString remark;
};

// Writes one row for the logged-in user at this seat, now. Throws DbError.
void write(frmDM &dm, const QString &kind, const QString &num = QString(), Money amount = Money(),
           Money count = Money(), const QString &remark = QString());

// The same into the books open on `db` for `user` (a restore writes into the
// books it builds; a failed login names the user that was tried).
void writeTo(QSqlDatabase db, const QString &user, const Entry &e);

// For what happens outside any change (a login, a failed login): written at
// once when the books are free, else kept and written before the row of the
// next change of this seat, so that a login never waits for another seat's
// long save. Never throws.
void writeSoon(QSqlDatabase db, const QString &user, const Entry &e);

// The seat: this machine's host name.
QString seat();

// "<file name>  SHA-256:<hex>", the SHA-256 read from the file in pieces.
// An unreadable file gives the name and "SHA-256:?".
QString fileMark(const QString &path);

} // namespace OpLog

#pragma once
// Who may do what on a server. Two roles of the server share the books:
//
//   the owner — the role that made the tables (or a superuser): makes and
//               upgrades the schema, backs up and restores;
//   the seats — the role "<database>_seat" (for the books "jxc": jxc_seat;
//               a shop giving each clerk a role of their own makes them
//               members of it): reads and writes the documents, the master
//               data and the money, and nothing more. No table of its own,
//               no ALTER, DROP or TRUNCATE; it reads the users but not
//               their password hashes, may only add to the operation log,
//               and changes users, rights and passwords only through the
//               books' own functions below.
//
// Those functions run with the owner's rights and ask each time for the
// program user's name and the proof of their password (the stored hash,
// which the seat works out from the password and the salt the server gives:
// passwords.h hashWithSalt); the changes of users and rights ask for a user
// in use who holds the right of the users screen. Every time the owner opens
// the books, the seats' role (when the server has it) is given its rights
// again, so that tables of later versions and a role made later get theirs.
//
// Nothing here for the file: whoever can open the file can change anything
// in it, and the users' rules are the screens' alone.
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

class frmDM;

namespace ServerRights {

// The menu code of the users screen: the right the changes of users ask for.
inline constexpr const char *UsersRight = "004";

// The statements that make the books' functions (an upgrade step runs them).
QStringList functionStatements(QSqlDatabase db);

// Whether the connection's role owns the books (or is a superuser). Throws DbError.
bool ownsBooks(QSqlDatabase db);
// The role that owns the tables of the books. Throws DbError.
QString booksOwner(QSqlDatabase db);
// The name of the seats' role of the books open on `db`. Throws DbError.
QString seatRole(QSqlDatabase db);
// Gives the seats' role its rights, when the server has it (the owner's
// connection only). Returns whether it did. Throws DbError.
bool grantSeats(QSqlDatabase db);

// ---- the users' functions, as a seat calls them ----

// The salt of the user's stored password (a made-up one for a name that is
// no user, always the same for that name).
QString loginSalt(frmDM &dm, const QString &name);

struct UserRow {
    int id = 0;
    QString name, ck, zh, jsr, sfkr;
};
// The user whose password `proof` proves; none when it does not.
std::optional<UserRow> login(frmDM &dm, const QString &name, const QString &proof);

// These need a Transaction; `actor`/`proof`: the program user and the proof
// of their password. They throw DbError when the user may not.
bool addUser(frmDM &dm, const QString &actor, const QString &proof, const QString &name, const QString &remark,
             const QString &hash);
void deleteUser(frmDM &dm, const QString &actor, const QString &proof, int id);
void setUserState(frmDM &dm, const QString &actor, const QString &proof, int id, bool on);
void saveRights(frmDM &dm, const QString &actor, const QString &proof, int userId, const QStringList &codes);
void saveUserDefaults(frmDM &dm, const QString &actor, const QString &proof, int userId, const QString &ck,
                      const QString &zh, const QString &jsr, const QString &sfkr);
// Replaces the password of `name` whose old one `oldProof` proves; false
// (nothing changed) when it does not.
bool setPassword(frmDM &dm, const QString &name, const QString &oldProof, const QString &newHash);

} // namespace ServerRights

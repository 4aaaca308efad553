#pragma once
// Users, their passwords, menu rights and default choices: the database side of
// the login window and the user administration screens. No widgets here, so the
// rules can be driven directly.
//
// Every function throws DbError when the engine refuses a statement.
#include <QString>
#include <QStringList>
#include <optional>

class frmDM;

namespace Accounts {

// The password a new user starts with.
inline constexpr const char *InitialPassword = "705318";

// The SUser row found by a login.
struct LoginUser {
    int id = 0;
    QString name;
    QString ck, zh, jsr, sfkr;   // default warehouse, account, handler, payer
    QString proof;               // on a server: the proof of the password (G.LoginProof)
};

// The user with this name and password. The name is compared without regard
// to letter case (ASCII letters; Chinese has none), the password exactly,
// against its stored hash (data/passwords.h); anything but exactly one user of
// that name is a refusal. The name returned is the stored spelling. The
// user's state is not tested (only users in use are offered for picking).
std::optional<LoginUser> checkLogin(frmDM &dm, const QString &name, const QString &password);

// Sets the login values (name, working date, defaults). The password typed is
// not kept: the change-password dialog checks the old one against the books.
// On a server the changes of users and rights below prove the logged-in user
// to the books with the proof kept here.
void startSession(const LoginUser &user, const QString &workDate);

// ---- user administration ----
// User names are unique without regard to letter case: "Admin" is "admin".
bool userExists(frmDM &dm, const QString &name);
// A new user in use, with the initial password (hashed) and no rights; false, and
// nothing written, when the name exists. A new user always gets an ID never
// used before, so rights rows a deleted user left behind never reach it.
bool addUser(frmDM &dm, const QString &name, const QString &remark);
// Removes the SUser row; the user's rights rows are left as they are.
void deleteUser(frmDM &dm, int id);
// Switches a user on or off.
void setUserState(frmDM &dm, int id, bool on);
// Tells the operation log that the logged-in user leaves the program.
void logout(frmDM &dm);

// ---- rights ----
// The rights codes of a user, in code order.
QStringList rightCodes(frmDM &dm, int userId);
// Replaces the rights of a user by `codes`, all or nothing.
void saveRights(frmDM &dm, int userId, const QStringList &codes);

// ---- default choices ----
struct UserDefaults {
    QString ck, zh, jsr, sfkr;
};
UserDefaults userDefaults(frmDM &dm, int userId);
void saveUserDefaults(frmDM &dm, int userId, const UserDefaults &d);

// ---- password change ----
enum class PasswordCheck { Ok, WrongOld, SameAsOld, Mismatch };
// Checks a change of `userName`'s password: the old one against its stored
// hash (letter case counts), the new one against the old and the confirmation.
PasswordCheck checkPasswordChange(frmDM &dm, const QString &userName, const QString &oldPass,
                                  const QString &newPass, const QString &confirm);
// Stores the hash of the new password; `oldPass` is the one checkPasswordChange
// took (on a server the books check it again). Throws DbError when the old
// password no longer holds (changed meanwhile elsewhere).
void setPassword(frmDM &dm, const QString &userName, const QString &oldPass, const QString &newPass);

} // namespace Accounts

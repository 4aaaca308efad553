#include "accounts.h"

#include "data/dm.h"
#include "data/oplog.h"
#include "data/globals.h"
#include "data/passwords.h"
#include "data/transaction.h"
#include "data/words.h"

namespace Accounts {

std::optional<LoginUser> checkLogin(frmDM &dm, const QString &name, const QString &password)
{
    const auto r = dm.rows(QStringLiteral("select ID,theName,theCK,theZH,theJSR,theSFKR,thePass from SUser "
                                          "where lower(theName)=lower(?)"),
                           {name});
    const bool ok = r.size() == 1 && Passwords::verify(password, r.first()[6].toString());
    // Every attempt is told in the log, the failed ones under the name tried;
    // another seat's long save does not hold up the login.
    OpLog::writeSoon(dm.db(), ok ? r.first()[1].toString() : name,
                     OpLog::Entry{QString::fromUtf8(ok ? OpLogWord::Login : OpLogWord::LoginFailed)});
    if (!ok) return std::nullopt;
    const QVariantList &d = r.first();
    LoginUser u;
    u.id = d[0].toInt();
    u.name = d[1].toString();
    u.ck = d[2].toString();
    u.zh = d[3].toString();
    u.jsr = d[4].toString();
    u.sfkr = d[5].toString();
    return u;
}

void startSession(const LoginUser &user, const QString &workDate)
{
    G.LoginName = user.name;
    G.WorkDate = workDate;
    G.UserCK = user.ck;
    G.UserZH = user.zh;
    G.UserJSR = user.jsr;
    G.UserSFKR = user.sfkr;
}

bool userExists(frmDM &dm, const QString &name)
{
    return dm.rowCount(QStringLiteral("select ID from SUser Where lower(theName)=lower(?)"), {name}) > 0;
}

bool addUser(frmDM &dm, const QString &name, const QString &remark)
{
    Transaction tx(dm.db());
    // Checked again inside the transaction: another machine may have added the
    // name since the screen looked.
    if (userExists(dm, name)) return false;
    dm.mySQL(QStringLiteral("Insert into SUser(theName,thePass,Remark,theState) Values(?,?,?,?)"),
             {name, Passwords::hash(QString::fromLatin1(InitialPassword)), remark, QString::fromUtf8(Words::StateOn)});
    OpLog::write(dm, QString::fromUtf8(OpLogWord::UserAdded), QString(), Money(), Money(), name);
    tx.commit();
    return true;
}

void setUserState(frmDM &dm, int id, bool on)
{
    Transaction tx(dm.db());
    dm.myState(QStringLiteral("SUser"), QString::fromUtf8(on ? Words::StateOn : Words::StateOff), id);
    OpLog::write(dm, QString::fromUtf8(on ? OpLogWord::UserOn : OpLogWord::UserOff), QString(), Money(), Money(),
                 dm.value(QStringLiteral("select theName from SUser where ID=?"), {id}).toString());
    tx.commit();
}

void logout(frmDM &dm)
{
    Transaction tx(dm.db());
    OpLog::write(dm, QString::fromUtf8(OpLogWord::Logout));
    tx.commit();
}

void deleteUser(frmDM &dm, int id)
{
    Transaction tx(dm.db());
    const QString name = dm.value(QStringLiteral("select theName from SUser where ID=?"), {id}).toString();
    dm.mySQL(QStringLiteral("Delete from SUser where ID=?"), {id});
    OpLog::write(dm, QString::fromUtf8(OpLogWord::UserDeleted), QString(), Money(), Money(), name);
    tx.commit();
}

QStringList rightCodes(frmDM &dm, int userId)
{
    QStringList out;
    for (const auto &r : dm.rows(QStringLiteral("select MNum from SLevel Where UID=? order by MNum"), {userId}))
        out << r[0].toString();
    return out;
}

void saveRights(frmDM &dm, int userId, const QStringList &codes)
{
    Transaction tx(dm.db());
    dm.mySQL(QStringLiteral("Delete from SLevel where UID=?"), {userId});
    for (const QString &code : codes)
        dm.mySQL(QStringLiteral("insert into SLevel(UID,MNum) Values(?,?)"), {userId, code.left(3)});
    OpLog::write(dm, QString::fromUtf8(OpLogWord::RightsChanged), QString(), Money(), Money(),
                 dm.value(QStringLiteral("select theName from SUser where ID=?"), {userId}).toString() + QLatin1Char(' ')
                     + codes.join(QLatin1Char(',')));
    tx.commit();
}

UserDefaults userDefaults(frmDM &dm, int userId)
{
    const auto r = dm.rows(QStringLiteral("select theCK,theZH,theJSR,theSFKR from SUser where ID=?"), {userId});
    if (r.isEmpty()) return {};
    const QVariantList &d = r.first();
    return UserDefaults{d[0].toString(), d[1].toString(), d[2].toString(), d[3].toString()};
}

void saveUserDefaults(frmDM &dm, int userId, const UserDefaults &d)
{
    Transaction tx(dm.db());
    dm.mySQL(QStringLiteral("update SUser set theCK=?,theZH=?,theJSR=?,theSFKR=? where ID=?"),
             {d.ck, d.zh, d.jsr, d.sfkr, userId});
    OpLog::write(dm, QString::fromUtf8(OpLogWord::OptionsChanged), QString(), Money(), Money(),
                 dm.value(QStringLiteral("select theName from SUser where ID=?"), {userId}).toString());
    tx.commit();
}

PasswordCheck checkPasswordChange(frmDM &dm, const QString &userName, const QString &oldPass,
                                  const QString &newPass, const QString &confirm)
{
    const QVariant stored = dm.value(QStringLiteral("select thePass from SUser where theName=?"), {userName});
    if (!Passwords::verify(oldPass, stored.toString())) return PasswordCheck::WrongOld;
    if (newPass == oldPass) return PasswordCheck::SameAsOld;
    if (newPass != confirm) return PasswordCheck::Mismatch;
    return PasswordCheck::Ok;
}

void setPassword(frmDM &dm, const QString &userName, const QString &newPass)
{
    Transaction tx(dm.db());
    dm.mySQL(QStringLiteral("Update SUser set thePass=? Where theName=?"), {Passwords::hash(newPass), userName});
    OpLog::write(dm, QString::fromUtf8(OpLogWord::PasswordChanged), QString(), Money(), Money(), userName);
    tx.commit();
}

} // namespace Accounts

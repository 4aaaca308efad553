#include "accounts.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/engine.h"
#include "data/serverrights.h"
#include "data/oplog.h"
#include "data/globals.h"
#include "data/passwords.h"
#include "data/transaction.h"
#include "data/words.h"

namespace Accounts {

namespace {

bool onServer(frmDM &dm) { return EngineInfo::onServer(dm.db()); }

// On a server: the user of that name whose password `password` is, read
// through the books' function (a seat reads no password hashes).
std::optional<LoginUser> serverLogin(frmDM &dm, const QString &name, const QString &password)
{
    const QString proof = Passwords::hashWithSalt(password, ServerRights::loginSalt(dm, name));
    if (proof.isEmpty()) return std::nullopt;
    const auto row = ServerRights::login(dm, name, proof);
    if (!row) return std::nullopt;
    return LoginUser{row->id, row->name, row->ck, row->zh, row->jsr, row->sfkr, proof};
}

std::optional<LoginUser> fileLogin(frmDM &dm, const QString &name, const QString &password)
{
    const auto r = dm.rows(QStringLiteral("select ID,theName,theCK,theZH,theJSR,theSFKR,thePass from SUser "
                                          "where lower(theName)=lower(?)"),
                           {name});
    if (r.size() != 1 || !Passwords::verify(password, r.first()[6].toString())) return std::nullopt;
    const QVariantList &d = r.first();
    return LoginUser{d[0].toInt(), d[1].toString(), d[2].toString(), d[3].toString(), d[4].toString(), d[5].toString(),
                     QString()};
}

QString userName(frmDM &dm, int id)
{
    return dm.value(QStringLiteral("select theName from SUser where ID=?"), {id}).toString();
}

} // namespace

std::optional<LoginUser> checkLogin(frmDM &dm, const QString &name, const QString &password)
{
    const auto user = onServer(dm) ? serverLogin(dm, name, password) : fileLogin(dm, name, password);
    // Every attempt is told in the log, the failed ones under the name tried;
    // another seat's long save does not hold up the login.
    OpLog::writeSoon(dm.db(), user ? user->name : name,
                     OpLog::Entry{QString::fromUtf8(user ? OpLogWord::Login : OpLogWord::LoginFailed)});
    return user;
}

void startSession(const LoginUser &user, const QString &workDate)
{
    G.LoginName = user.name;
    G.WorkDate = workDate;
    G.UserCK = user.ck;
    G.UserZH = user.zh;
    G.UserJSR = user.jsr;
    G.UserSFKR = user.sfkr;
    G.LoginProof = user.proof;
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
    const QString hash = Passwords::hash(QString::fromLatin1(InitialPassword));
    if (onServer(dm)) {
        if (!ServerRights::addUser(dm, G.LoginName, G.LoginProof, name, remark, hash)) return false;
    } else {
        dm.mySQL(QStringLiteral("Insert into SUser(theName,thePass,Remark,theState) Values(?,?,?,?)"),
                 {name, hash, remark, QString::fromUtf8(Words::StateOn)});
    }
    OpLog::write(dm, QString::fromUtf8(OpLogWord::UserAdded), QString(), Money(), Money(), name);
    tx.commit();
    return true;
}

void setUserState(frmDM &dm, int id, bool on)
{
    Transaction tx(dm.db());
    if (onServer(dm))
        ServerRights::setUserState(dm, G.LoginName, G.LoginProof, id, on);
    else
        dm.myState(QStringLiteral("SUser"), QString::fromUtf8(on ? Words::StateOn : Words::StateOff), id);
    OpLog::write(dm, QString::fromUtf8(on ? OpLogWord::UserOn : OpLogWord::UserOff), QString(), Money(), Money(), userName(dm, id));
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
    const QString name = userName(dm, id);
    if (onServer(dm))
        ServerRights::deleteUser(dm, G.LoginName, G.LoginProof, id);
    else
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
    if (onServer(dm)) {
        ServerRights::saveRights(dm, G.LoginName, G.LoginProof, userId, codes);
    } else {
        dm.mySQL(QStringLiteral("Delete from SLevel where UID=?"), {userId});
        for (const QString &code : codes)
            dm.mySQL(QStringLiteral("insert into SLevel(UID,MNum) Values(?,?)"), {userId, code.left(3)});
    }
    OpLog::write(dm, QString::fromUtf8(OpLogWord::RightsChanged), QString(), Money(), Money(),
                 userName(dm, userId) + QLatin1Char(' ') + codes.join(QLatin1Char(',')));
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
    if (onServer(dm))
        ServerRights::saveUserDefaults(dm, G.LoginName, G.LoginProof, userId, d.ck, d.zh, d.jsr, d.sfkr);
    else
        dm.mySQL(QStringLiteral("update SUser set theCK=?,theZH=?,theJSR=?,theSFKR=? where ID=?"),
                 {d.ck, d.zh, d.jsr, d.sfkr, userId});
    OpLog::write(dm, QString::fromUtf8(OpLogWord::OptionsChanged), QString(), Money(), Money(), userName(dm, userId));
    tx.commit();
}

PasswordCheck checkPasswordChange(frmDM &dm, const QString &userName, const QString &oldPass,
                                  const QString &newPass, const QString &confirm)
{
    const bool oldHolds = onServer(dm) ? serverLogin(dm, userName, oldPass).has_value()
                                       : Passwords::verify(oldPass, dm.value(QStringLiteral("select thePass from SUser where theName=?"),
                                                                             {userName})
                                                                        .toString());
    if (!oldHolds) return PasswordCheck::WrongOld;
    if (newPass == oldPass) return PasswordCheck::SameAsOld;
    if (newPass != confirm) return PasswordCheck::Mismatch;
    return PasswordCheck::Ok;
}

void setPassword(frmDM &dm, const QString &userName, const QString &oldPass, const QString &newPass)
{
    const QString hash = Passwords::hash(newPass);
    Transaction tx(dm.db());
    if (onServer(dm)) {
        const QString proof = Passwords::hashWithSalt(oldPass, ServerRights::loginSalt(dm, userName));
        if (!ServerRights::setPassword(dm, userName, proof, hash))
            throw DbError(QStringLiteral("原密码不对，密码没有修改。"));
    } else {
        dm.mySQL(QStringLiteral("Update SUser set thePass=? Where theName=?"), {hash, userName});
    }
    OpLog::write(dm, QString::fromUtf8(OpLogWord::PasswordChanged), QString(), Money(), Money(), userName);
    tx.commit();
    if (onServer(dm) && userName == G.LoginName) G.LoginProof = hash;
}

} // namespace Accounts

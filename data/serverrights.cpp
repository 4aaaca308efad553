#include "serverrights.h"
#include "dberror.h"
#include "dm.h"
#include "words.h"

#include <QSqlError>
#include <QSqlQuery>

namespace ServerRights {

namespace {

QVariant single(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql)) throw DbError::fromSql(q.lastError(), db);
    return q.next() ? q.value(0) : QVariant();
}

// Every function runs with the owner's rights: its names are looked up in
// the books' schema alone, never first in a caller's temporary tables.
QString header(const QString &schema, const QString &signature, const QString &returns, bool changes = true)
{
    return QStringLiteral("CREATE OR REPLACE FUNCTION %1 RETURNS %2 LANGUAGE plpgsql %3 SECURITY DEFINER "
                          "SET search_path = %4, pg_temp AS $f$ ")
        .arg(signature, returns, changes ? QStringLiteral("VOLATILE") : QStringLiteral("STABLE"), schema);
}

QString quoted(const char *word) { return QLatin1Char('\'') + QString::fromUtf8(word) + QLatin1Char('\''); }

// The functions a seat may call, by signature.
const char *const SeatFunctions[] = {
    "jxc_login_salt(text)",
    "jxc_login(text, text)",
    "jxc_set_password(text, text, text)",
    "jxc_add_user(text, text, text, text, text)",
    "jxc_delete_user(text, text, integer)",
    "jxc_set_user_state(text, text, integer, boolean)",
    "jxc_save_rights(text, text, integer, text)",
    "jxc_save_user_defaults(text, text, integer, text, text, text, text)",
};
// Those only the other functions call.
const char *const InnerFunctions[] = {"jxc_user_of(text, text)", "jxc_admin(text, text)"};

} // namespace

QStringList functionStatements(QSqlDatabase db)
{
    const QString schema = single(db, QStringLiteral("select quote_ident(current_schema())")).toString();
    const QString on = quoted(Words::StateOn), off = quoted(Words::StateOff);
    QStringList s;
    // The user of that name (letter case aside, as the login) whose stored
    // hash is `p_proof`; none for anything else.
    s << header(schema, QStringLiteral("jxc_user_of(p_name text, p_proof text)"), QStringLiteral("integer"), false)
             + QStringLiteral("DECLARE v_id integer; v_pass text; v_count integer; "
                              "BEGIN "
                              "SELECT count(*), min(ID), min(thePass) INTO v_count, v_id, v_pass FROM SUser "
                              "WHERE lower(theName) = lower(p_name); "
                              "IF v_count <> 1 OR p_proof IS NULL OR v_pass IS NULL OR left(v_pass, 10) <> '$argon2id$' "
                              "OR v_pass <> p_proof THEN RETURN NULL; END IF; "
                              "RETURN v_id; "
                              "END $f$");
    // The kind, cost and salt of a user's stored hash; for a name that is no
    // user one made from the name, so that the answer tells no names.
    s << header(schema, QStringLiteral("jxc_login_salt(p_name text)"), QStringLiteral("text"), false)
             + QStringLiteral("DECLARE v_pass text; v_count integer; v_salt text; "
                              "BEGIN "
                              "SELECT count(*), min(thePass) INTO v_count, v_pass FROM SUser WHERE lower(theName) = lower(p_name); "
                              "IF v_count = 1 THEN "
                              "v_salt := substring(v_pass from '^\\$argon2id\\$v=19\\$m=[0-9]+,t=[0-9]+,p=1\\$[A-Za-z0-9+/]+\\$'); "
                              "IF v_salt IS NOT NULL THEN RETURN v_salt; END IF; "
                              "END IF; "
                              "RETURN '$argon2id$v=19$m=65536,t=2,p=1$' || "
                              "rtrim(encode(decode(md5('jxc-salt/' || lower(coalesce(p_name, ''))), 'hex'), 'base64'), '=') || '$'; "
                              "END $f$");
    s << header(schema, QStringLiteral("jxc_login(p_name text, p_proof text)"),
                QStringLiteral("TABLE(uid integer, uname text, uck text, uzh text, ujsr text, usfkr text)"), false)
             + QStringLiteral("BEGIN "
                              "RETURN QUERY SELECT u.ID, u.theName::text, u.theCK::text, u.theZH::text, u.theJSR::text, "
                              "u.theSFKR::text FROM SUser u WHERE u.ID = jxc_user_of(p_name, p_proof); "
                              "END $f$");
    // The program user, when in use and holding the right of the users screen.
    s << header(schema, QStringLiteral("jxc_admin(p_actor text, p_proof text)"), QStringLiteral("integer"), false)
             + QStringLiteral("DECLARE v_id integer; "
                              "BEGIN "
                              "v_id := jxc_user_of(p_actor, p_proof); "
                              "IF v_id IS NULL OR NOT EXISTS (SELECT 1 FROM SUser WHERE ID = v_id AND theState = %1) "
                              "OR NOT EXISTS (SELECT 1 FROM SLevel WHERE UID = v_id AND MNum = '%2') THEN "
                              "RAISE EXCEPTION '当前用户无权修改用户和权限：须是启用的用户，有“用户管理”的权限，且密码未被修改（请重新登录）。' "
                              "USING ERRCODE = 'P0001'; "
                              "END IF; "
                              "RETURN v_id; "
                              "END $f$")
                   .arg(on, QLatin1String(UsersRight));
    const QString hashCheck = QStringLiteral("IF left(coalesce(p_hash, ''), 10) <> '$argon2id$' THEN "
                                             "RAISE EXCEPTION '密码摘要无效。'; END IF; ");
    s << header(schema, QStringLiteral("jxc_set_password(p_name text, p_proof text, p_hash text)"), QStringLiteral("boolean"))
             + QStringLiteral("DECLARE v_id integer; "
                              "BEGIN ")
             + hashCheck
             + QStringLiteral("v_id := jxc_user_of(p_name, p_proof); "
                              "IF v_id IS NULL THEN RETURN false; END IF; "
                              "UPDATE SUser SET thePass = p_hash WHERE ID = v_id; "
                              "RETURN true; "
                              "END $f$");
    s << header(schema, QStringLiteral("jxc_add_user(p_actor text, p_proof text, p_name text, p_remark text, p_hash text)"),
                QStringLiteral("boolean"))
             + QStringLiteral("BEGIN "
                              "PERFORM jxc_admin(p_actor, p_proof); ")
             + hashCheck
             + QStringLiteral("IF coalesce(p_name, '') = '' THEN RAISE EXCEPTION '用户名不能为空。'; END IF; "
                              "IF EXISTS (SELECT 1 FROM SUser WHERE lower(theName) = lower(p_name)) THEN RETURN false; END IF; "
                              "INSERT INTO SUser(theName, thePass, Remark, theState) VALUES (p_name, p_hash, p_remark, %1); "
                              "RETURN true; "
                              "END $f$")
                   .arg(on);
    s << header(schema, QStringLiteral("jxc_delete_user(p_actor text, p_proof text, p_id integer)"), QStringLiteral("void"))
             + QStringLiteral("BEGIN "
                              "IF jxc_admin(p_actor, p_proof) = p_id THEN RAISE EXCEPTION '不能删除当前登录用户名！'; END IF; "
                              "DELETE FROM SUser WHERE ID = p_id; "
                              "END $f$");
    s << header(schema, QStringLiteral("jxc_set_user_state(p_actor text, p_proof text, p_id integer, p_on boolean)"),
                QStringLiteral("void"))
             + QStringLiteral("BEGIN "
                              "IF jxc_admin(p_actor, p_proof) = p_id THEN "
                              "RAISE EXCEPTION '%3'; END IF; "
                              "UPDATE SUser SET theState = CASE WHEN p_on THEN %1 ELSE %2 END WHERE ID = p_id; "
                              "END $f$")
                   .arg(on, off, QStringLiteral("不能启用或停用当前登录用户名！"));
    s << header(schema, QStringLiteral("jxc_save_rights(p_actor text, p_proof text, p_uid integer, p_codes text)"),
                QStringLiteral("void"))
             + QStringLiteral("BEGIN "
                              "PERFORM jxc_admin(p_actor, p_proof); "
                              "DELETE FROM SLevel WHERE UID = p_uid; "
                              "INSERT INTO SLevel(UID, MNum) SELECT p_uid, left(c, 3) "
                              "FROM unnest(string_to_array(p_codes, ',')) WITH ORDINALITY AS t(c, n) WHERE c <> '' ORDER BY n; "
                              "END $f$");
    s << header(schema,
                QStringLiteral("jxc_save_user_defaults(p_actor text, p_proof text, p_uid integer, p_ck text, p_zh text, "
                               "p_jsr text, p_sfkr text)"),
                QStringLiteral("void"))
             + QStringLiteral("BEGIN "
                              "PERFORM jxc_admin(p_actor, p_proof); "
                              "UPDATE SUser SET theCK = p_ck, theZH = p_zh, theJSR = p_jsr, theSFKR = p_sfkr WHERE ID = p_uid; "
                              "END $f$");
    // Gives the seats' role of these books its rights, when the server has it;
    // run by the owner (no rights of its own). Returns the role, or null.
    QString seatList, innerList;
    for (const char *f : SeatFunctions) seatList += (seatList.isEmpty() ? "" : ", ") + QString::fromLatin1(f);
    for (const char *f : InnerFunctions) innerList += QStringLiteral(", ") + QString::fromLatin1(f);
    s << QStringLiteral(
             "CREATE OR REPLACE FUNCTION jxc_grant_seats() RETURNS text LANGUAGE plpgsql AS $f$ "
             "DECLARE v_seat text := current_database() || '_seat'; v_table text; "
             "BEGIN "
             "IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = v_seat) THEN RETURN NULL; END IF; "
             "EXECUTE format('GRANT CONNECT, TEMPORARY ON DATABASE %I TO %I', current_database(), v_seat); "
             "EXECUTE format('GRANT USAGE ON SCHEMA %I TO %I', current_schema(), v_seat); "
             "FOR v_table IN SELECT tablename FROM pg_tables WHERE schemaname = current_schema() LOOP "
             "EXECUTE format('REVOKE ALL ON TABLE %I FROM %I', v_table, v_seat); "
             "IF v_table = 'suser' THEN "
             "EXECUTE format('GRANT SELECT (ID, theName, Remark, theState, theCK, theZH, theJSR, theSFKR) ON TABLE %I TO %I', "
             "v_table, v_seat); "
             "ELSIF v_table IN ('slevel', 'sversion') THEN "
             "EXECUTE format('GRANT SELECT ON TABLE %I TO %I', v_table, v_seat); "
             "ELSIF v_table = 'soplog' THEN "
             "EXECUTE format('GRANT SELECT, INSERT ON TABLE %I TO %I', v_table, v_seat); "
             "ELSE "
             "EXECUTE format('GRANT SELECT, INSERT, UPDATE, DELETE ON TABLE %I TO %I', v_table, v_seat); "
             "END IF; "
             "END LOOP; "
             "EXECUTE format('GRANT USAGE ON ALL SEQUENCES IN SCHEMA %I TO %I', current_schema(), v_seat); "
             "EXECUTE format('REVOKE ALL ON FUNCTION %1%2, jxc_grant_seats() FROM PUBLIC'); "
             "EXECUTE format('GRANT EXECUTE ON FUNCTION %1 TO %I', v_seat); "
             "RETURN v_seat; "
             "END $f$")
             .arg(seatList, innerList);
    s << QStringLiteral("REVOKE ALL ON FUNCTION %1%2, jxc_grant_seats() FROM PUBLIC").arg(seatList, innerList);
    return s;
}

QString booksOwner(QSqlDatabase db)
{
    return single(db, QStringLiteral("select tableowner from pg_tables where schemaname=current_schema() "
                                     "and tablename='sversion'"))
        .toString();
}

bool ownsBooks(QSqlDatabase db)
{
    // A superuser counts as every role. A database without the books' tables
    // is its owner's.
    return single(db, QStringLiteral("select pg_has_role(current_user, coalesce((select tableowner from pg_tables "
                                     "where schemaname=current_schema() and tablename='sversion'), (select r.rolname "
                                     "from pg_database d join pg_roles r on r.oid=d.datdba where d.datname=current_database())), "
                                     "'USAGE')"))
        .toBool();
}

QString seatRole(QSqlDatabase db)
{
    return single(db, QStringLiteral("select current_database() || '_seat'")).toString();
}

bool grantSeats(QSqlDatabase db)
{
    return !single(db, QStringLiteral("select jxc_grant_seats()")).isNull();
}

QString loginSalt(frmDM &dm, const QString &name)
{
    return dm.value(QStringLiteral("select jxc_login_salt(?)"), {name}).toString();
}

std::optional<UserRow> login(frmDM &dm, const QString &name, const QString &proof)
{
    const auto r = dm.rows(QStringLiteral("select uid, uname, uck, uzh, ujsr, usfkr from jxc_login(?, ?)"), {name, proof});
    if (r.size() != 1) return std::nullopt;
    const QVariantList &d = r.first();
    return UserRow{d[0].toInt(), d[1].toString(), d[2].toString(), d[3].toString(), d[4].toString(), d[5].toString()};
}

bool addUser(frmDM &dm, const QString &actor, const QString &proof, const QString &name, const QString &remark,
             const QString &hash)
{
    return dm.value(QStringLiteral("select jxc_add_user(?, ?, ?, ?, ?)"), {actor, proof, name, remark, hash}).toBool();
}

void deleteUser(frmDM &dm, const QString &actor, const QString &proof, int id)
{
    dm.value(QStringLiteral("select jxc_delete_user(?, ?, ?)"), {actor, proof, id});
}

void setUserState(frmDM &dm, const QString &actor, const QString &proof, int id, bool on)
{
    dm.value(QStringLiteral("select jxc_set_user_state(?, ?, ?, ?)"), {actor, proof, id, on});
}

void saveRights(frmDM &dm, const QString &actor, const QString &proof, int userId, const QStringList &codes)
{
    dm.value(QStringLiteral("select jxc_save_rights(?, ?, ?, ?)"), {actor, proof, userId, codes.join(QLatin1Char(','))});
}

void saveUserDefaults(frmDM &dm, const QString &actor, const QString &proof, int userId, const QString &ck,
                      const QString &zh, const QString &jsr, const QString &sfkr)
{
    dm.value(QStringLiteral("select jxc_save_user_defaults(?, ?, ?, ?, ?, ?, ?)"), {actor, proof, userId, ck, zh, jsr, sfkr});
}

bool setPassword(frmDM &dm, const QString &name, const QString &oldProof, const QString &newHash)
{
    return dm.value(QStringLiteral("select jxc_set_password(?, ?, ?)"), {name, oldProof, newHash}).toBool();
}

} // namespace ServerRights

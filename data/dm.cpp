#include "dm.h"
#include "dberror.h"
#include "engine.h"
#include "connection.h"
#include "globals.h"
#include "transaction.h"
#include "texts.h"
#include "words.h"

#include <QSqlError>
#include <algorithm>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QSet>

namespace { frmDM *g_instance = nullptr; }

frmDM::frmDM(QSqlDatabase db, QObject *parent) : QObject(parent), m_db(db)
{
    g_instance = this;
}

frmDM::~frmDM()
{
    if (g_instance == this) g_instance = nullptr;
}

frmDM *frmDM::instance() { return g_instance; }

QString placeholders(int n) { return QStringList(n, QStringLiteral("?")).join(QLatin1Char(',')); }

QSqlQuery &frmDM::prepared(const QString &sql)
{
    auto it = m_queries.find(sql);
    if (it == m_queries.end()) {
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        if (!q.prepare(sql)) throw DbError::fromSql(q.lastError(), m_db);
        it = m_queries.insert(sql, q);
    }
    return it.value();
}

namespace {
// The server prepares only the statements that read or change rows; anything
// else (CREATE, DROP, SET …) is sent as it is.
// The statement's first word, in lower case.
QString firstWord(const QString &sql)
{
    const QString t = sql.trimmed();
    int end = 0;
    while (end < t.size() && !t[end].isSpace()) ++end;
    return t.left(end).toLower();
}

bool preparable(const QString &sql)
{
    const QString first = firstWord(sql);
    return first == QLatin1String("select") || first == QLatin1String("insert") || first == QLatin1String("update")
        || first == QLatin1String("delete") || first == QLatin1String("with");
}
}

void frmDM::reconnectIfLost() { ::reconnectIfLost(m_db); }

void frmDM::forgetStatements()
{
    for (QSqlQuery &q : m_queries) q.finish();
    m_queries.clear();
    m_direct = QSqlQuery();
}

QSqlQuery &frmDM::run(const QString &sql, const QVariantList &binds)
{
    reconnectIfLost();
    try {
        return runOnce(sql, binds);
    } catch (const DbError &) {
        // A read whose session was lost under it is read again on a new one;
        // a write is not (whether it was done is not known).
        if (!lostOutsideTransaction(m_db) || firstWord(sql) != QLatin1String("select"))
            throw;
    }
    reconnectIfLost();
    return runOnce(sql, binds);
}

QSqlQuery &frmDM::runOnce(const QString &sql, const QVariantList &binds)
{
    if (binds.isEmpty() && !preparable(sql) && EngineInfo::onServer(m_db)) {
        m_direct = QSqlQuery(m_db);
        if (!m_direct.exec(sql)) throw DbError::fromSql(m_direct.lastError(), m_db);
        return m_direct;
    }
    QSqlQuery &q = prepared(sql);
    for (int i = 0; i < binds.size(); ++i) q.bindValue(i, binds[i]);
    if (!q.exec()) {
        const QSqlError e = q.lastError();
        q.finish();
        throw DbError::fromSql(e, m_db);
    }
    return q;
}

void frmDM::mySQL(const QString &sql, const QVariantList &binds)
{
    run(sql, binds).finish();
}

QVector<QVariantList> frmDM::rows(const QString &sql, const QVariantList &binds)
{
    QSqlQuery &q = run(sql, binds);
    QVector<QVariantList> out;
    const int n = q.record().count();
    while (q.next()) {
        QVariantList r;
        r.reserve(n);
        for (int i = 0; i < n; ++i) r << q.value(i);
        out << r;
    }
    q.finish();
    return out;
}

QVariant frmDM::value(const QString &sql, const QVariantList &binds)
{
    QSqlQuery &q = run(sql, binds);
    QVariant v;
    if (q.next()) v = q.value(0);
    q.finish();
    return v;
}

int frmDM::rowCount(const QString &sql, const QVariantList &binds)
{
    QSqlQuery &q = run(sql, binds);
    int n = 0;
    while (q.next()) ++n;
    q.finish();
    return n;
}

void frmDM::insertRows(const QString &table, const QStringList &columns, const QVector<QVariantList> &rows)
{
    // Rows to a statement: few round trips, well inside either engine's limit
    // of bound values.
    constexpr int PerStatement = 100;
    const QString group = QLatin1Char('(') + placeholders(columns.size()) + QLatin1Char(')');
    const QString head = QStringLiteral("insert into %1(%2) values").arg(table, columns.join(QLatin1Char(',')));
    for (int from = 0; from < rows.size(); from += PerStatement) {
        const int n = std::min<int>(PerStatement, rows.size() - from);
        QVariantList binds;
        binds.reserve(n * columns.size());
        for (int i = from; i < from + n; ++i) {
            if (rows[i].size() != columns.size()) throw DbError(QStringLiteral("插入 %1 的数据列数不对。").arg(table));
            binds += rows[i];
        }
        mySQL(head + QStringList(n, group).join(QLatin1Char(',')), binds);
    }
}

qint64 frmDM::insertId(const QString &sql, const QVariantList &binds)
{
    if (EngineInfo::onServer(m_db)) return value(sql + QStringLiteral(" returning ID"), binds).toLongLong();
    mySQL(sql, binds);
    return value(QStringLiteral("select last_insert_rowid()")).toLongLong();
}

QVector<QVariantList> frmDM::rowsToChange(const QString &sql, const QVariantList &binds, const QString &lockAlias)
{
    return rows(sql + EngineInfo::rowLock(EngineInfo::of(m_db), lockAlias), binds);
}

QString frmDM::likeTerm(const QString &field) const
{
    return EngineInfo::likeTerm(EngineInfo::of(m_db), field);
}

QVector<QVariantList> frmDM::rowsOfIds(const QString &sql, const QVariantList &lead, const QList<int> &ids, bool toChange)
{
    constexpr int PerStatement = 500;
    QVariantList distinct;
    QSet<int> seen;
    for (int id : ids)
        if (!seen.contains(id)) {
            seen.insert(id);
            distinct << id;
        }
    QVector<QVariantList> out;
    for (int from = 0; from < distinct.size(); from += PerStatement) {
        const QVariantList part = distinct.mid(from, PerStatement);
        const QString text = sql.arg(placeholders(int(part.size())));
        const QVariantList binds = lead + part;
        out += toChange ? rowsToChange(text, binds) : rows(text, binds);
    }
    return out;
}

bool frmDM::readsLookupsFirst() const { return EngineInfo::readsLookupsFirst(EngineInfo::of(m_db)); }

// ---- stock ----

namespace {
// The stock change of one product in one warehouse, returning the stock after it.
const char *const StockChange = "update UKC set theCount=round(theCount%1?,4) where WName=? and SID=? returning theCount";
}

Money frmDM::KC_Up(const QString &wname, int sid, Money quantity)
{
    const QVariant after = value(QString::fromLatin1(StockChange).arg(QLatin1Char('+')), {quantity.toVariant(), wname, sid});
    if (after.isValid()) return Money::fromVariant(after);
    // The first movement of a product in a warehouse creates its stock row.
    mySQL(QStringLiteral("insert into UKC(WName,SID,theCount) values(?,?,?)"), {wname, sid, quantity.toVariant()});
    return quantity;
}

Money frmDM::KC_Do(const QString &wname, int sid, Money quantity)
{
    // No test for enough stock here: whether stock may go negative is the screens' decision.
    const QVariant after = value(QString::fromLatin1(StockChange).arg(QLatin1Char('-')), {quantity.toVariant(), wname, sid});
    if (after.isValid()) return Money::fromVariant(after);
    // A first issue creates the row with the negated quantity.
    mySQL(QStringLiteral("insert into UKC(WName,SID,theCount) values(?,?,?)"), {wname, sid, (-quantity).toVariant()});
    return -quantity;
}

Money frmDM::myRetKC(const QString &wname, int sid)
{
    const QString sql = QStringLiteral("select theCount from UKC where WName=? and SID=?");
    // Read inside a save, the stock row stays locked until the save ends: the
    // stock test and the stock update see the same quantity.
    const auto r = Transaction::active(m_db) ? rowsToChange(sql, {wname, sid}) : rows(sql, {wname, sid});
    return r.size() == 1 ? Money::fromVariant(r[0][0]) : Money();
}

QHash<int, Money> frmDM::myRetKCs(const QString &wname, const QList<int> &sids)
{
    QHash<int, Money> out;
    for (int sid : sids) out.insert(sid, Money());
    const QString sql = QStringLiteral("select SID, theCount from UKC where WName=? and SID in (%1)");
    for (const QVariantList &r : rowsOfIds(sql, {wname}, sids, Transaction::active(m_db)))
        out[r[0].toInt()] = Money::fromVariant(r[1]);
    return out;
}

void frmDM::SaveSList(const QString &word, const QString &num, const QString &wname, int sid,
                      Money countIn, Money countOut, Money price)
{
    // Callers post the stock change first, so this is the stock after the movement.
    SaveSListRows({LedgerRow{word, num, wname, sid, countIn, countOut, price, myRetKC(wname, sid)}});
}

void frmDM::SaveSListRows(const QVector<LedgerRow> &rows)
{
    static const QStringList columns{QStringLiteral("theDate"), QStringLiteral("theType"), QStringLiteral("theNum"),
                                     QStringLiteral("WName"),   QStringLiteral("SID"),     QStringLiteral("ICount"),
                                     QStringLiteral("OCount"),  QStringLiteral("SPrice"),  QStringLiteral("WCount"),
                                     QStringLiteral("UName")};
    QVector<QVariantList> values;
    values.reserve(rows.size());
    for (const LedgerRow &r : rows)
        values << QVariantList{G.WorkDate, r.word, r.num, r.wname, r.sid, r.countIn.toVariant(), r.countOut.toVariant(),
                               r.price.toVariant(), r.after.toVariant(), G.LoginName};
    insertRows(QStringLiteral("SList"), columns, values);
}

// ---- money ----

void frmDM::SaveList(const QString &word, const QString &num, Money in, Money out,
                     const QString &account, const QString &payer, const QString &clerk)
{
    mySQL(QStringLiteral("insert into UList(theDate,theType,theNum,theIn,theOut,MName,UName,IName) "
                         "values(?,?,?,?,?,?,?,?)"),
          {G.WorkDate, word, num, in.toVariant(), out.toVariant(), account, payer, clerk});
}

void frmDM::balance(const char *sql, int uid, Money amount)
{
    mySQL(QString::fromLatin1(sql), {amount.toVariant(), uid});
}

void frmDM::YS_Up(int uid, Money a) { balance("update SUnits set theYS=round(theYS+?,4) where ID=?", uid, a); }
void frmDM::YS_Do(int uid, Money a) { balance("update SUnits set theYS=round(theYS-?,4) where ID=?", uid, a); }
void frmDM::YF_Up(int uid, Money a) { balance("update SUnits set theYF=round(theYF+?,4) where ID=?", uid, a); }
void frmDM::YF_Do(int uid, Money a) { balance("update SUnits set theYF=round(theYF-?,4) where ID=?", uid, a); }

// ---- dictionaries ----

void frmDM::myState(const QString &table, const QString &state, int id)
{
    static const QStringList allowed{QStringLiteral("SUser"), QStringLiteral("SType"), QStringLiteral("SWare"),
                                     QStringLiteral("SAccount"), QStringLiteral("SStaff"), QStringLiteral("SUnits"),
                                     QStringLiteral("SShop")};
    if (!allowed.contains(table)) throw DbError(QStringLiteral("未知的表：") + table);
    mySQL(QStringLiteral("update %1 set theState=? where ID=?").arg(table), {state, id});
}

QString frmDM::myRetZK(const QString &category)
{
    if (category.isEmpty()) return QStringLiteral("100");
    const auto r = rows(QStringLiteral("select theZK from SType where theName=?"), {category});
    return r.size() == 1 ? r[0][0].toString() : QStringLiteral("100");
}

void frmDM::SaveBB(const QString &date, const QStringList &figures)
{
    static const char *cols[30] = {"CG1", "CG2", "CG3", "CG4", "CG5", "CT1", "CT2", "CT3", "CT4", "CT5",
                                   "FK1", "FK2", "XS1", "XS2", "XS3", "XS4", "XS5", "XT1", "XT2", "XT3",
                                   "XT4", "XT5", "SK1", "SK2", "BS1", "BS2", "BS3", "BY1", "BY2", "BY3"};
    QStringList names{QStringLiteral("theDate")};
    QVariantList binds{date};
    for (int i = 0; i < 30; ++i) {
        names << QLatin1String(cols[i]);
        const QString f = i < figures.size() ? figures[i].trimmed() : QString();
        bool ok = true;
        const Money m = Money::fromString(f, &ok);
        if (!ok) throw DbError(Texts::notNumber(f));
        binds << m.toVariant();
    }
    mySQL(QStringLiteral("insert into UBB(%1) values(%2)")
              .arg(names.join(QLatin1Char(',')), QStringList(31, QStringLiteral("?")).join(QLatin1Char(','))),
          binds);
}

void frmDM::releaseStatements()
{
    forgetStatements();
    for (QSqlQueryModel *m : m_pick)
        if (m) m->clear();
}

// ---- shop row ----

void frmDM::FindDept()
{
    const auto r = rows(QStringLiteral("select theName,thePhone,theAdd,theGG,theTX,theKC,theJH,theXS,theJH1,theXS1,"
                                       "theCB,theFKC,theKCMin,theKCMax from SDept"));
    if (r.isEmpty()) return; // no shop row: the shop values stay empty
    const QVariantList &d = r.first();
    G.ShopName = d[0].toString();
    G.ShopTX = d[4].toInt() ? QStringLiteral("True") : QStringLiteral("False");
    G.ShopJH = d[6].toInt() != 0;
    G.ShopXS = d[7].toInt() != 0;
    G.ShopJH1 = d[8].toInt() != 0;
    G.ShopXS1 = d[9].toInt() != 0;
    G.ShopCB = d[10].toString();
    G.ShopFKC = d[11].toInt() != 0;
    G.ShopKCMin = Money::fromVariant(d[12]).toString();
    G.ShopKCMax = Money::fromVariant(d[13]).toString();
}

// ---- pick lists ----

QSqlQueryModel *frmDM::pickModel(int which, const QString &sql)
{
    if (!m_pick[which]) m_pick[which] = new QSqlQueryModel(this);
    QSqlQueryModel *model = m_pick[which];
    readWithReconnect(m_db, [&] {
        model->setQuery(sql, m_db);
        if (model->lastError().isValid()) throw DbError::fromSql(model->lastError(), m_db);
        while (model->canFetchMore()) model->fetchMore();
    });
    return model;
}

QSqlQueryModel *frmDM::DBComUser() { return pickModel(0, QStringLiteral("select theName from SUser where theState='启用' order by ID")); }
QSqlQueryModel *frmDM::DBComSType() { return pickModel(1, QStringLiteral("select theName from SType where theState='启用' order by ID")); }
QSqlQueryModel *frmDM::DBComWare() { return pickModel(2, QStringLiteral("select theName from SWare where theState='启用' order by ID")); }
QSqlQueryModel *frmDM::DBComAccount() { return pickModel(3, QStringLiteral("select theName from SAccount where theState='启用' order by ID")); }
QSqlQueryModel *frmDM::DBComStaff() { return pickModel(4, QStringLiteral("select theName from SStaff where theState='启用' order by ID")); }
QSqlQueryModel *frmDM::DBComSUType() { return pickModel(5, QStringLiteral("select theName from SUType order by ID")); }

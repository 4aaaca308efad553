// Schema versions. A database records the version of its schema in SVersion;
// a file made before versions were kept is version 1. Every change of the
// schema after the first is a numbered step here, run once on every shop's
// file at start (all missing steps in one transaction) and on every new file
// after the first schema, so that old and new files end up alike.
#include "connection.h"
#include "dberror.h"
#include "engine.h"
#include "menutable.h"
#include "passwords.h"
#include "serverrights.h"
#include "transaction.h"

#include <QPair>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <functional>

namespace {

// The document tables whose number identifies one document (lines and
// settlements refer to it).
const char *const NumberedTables[] = {"UJH", "UCG_O", "UXS", "UXS_O", "UFK", "USK", "UDB", "UBS", "UBY", "UCZ"};

struct Step {
    int version;
    std::function<void(QSqlDatabase, QStringList *notes)> run;
};

QSqlQuery exec(QSqlDatabase db, const QString &sql, const QVariantList &binds = {})
{
    QSqlQuery q(db);
    // Statements without values are sent as they are (a server prepares no CREATE).
    if (binds.isEmpty()) {
        if (!q.exec(sql)) throw DbError::fromSql(q.lastError(), db);
        return q;
    }
    if (!q.prepare(sql)) throw DbError::fromSql(q.lastError(), db);
    for (const QVariant &v : binds) q.addBindValue(v);
    if (!q.exec()) throw DbError::fromSql(q.lastError(), db);
    return q;
}

bool tableExists(QSqlDatabase db, const QString &table)
{
    return EngineInfo::tableNames(db).contains(table, Qt::CaseInsensitive);
}

// Version 2: the schema records its version; a document number is unique in
// its table, so two documents can never share lines.
void uniqueNumbers(QSqlDatabase db, QStringList *notes)
{
    exec(db, QStringLiteral("CREATE TABLE SVersion (theVersion INT NOT NULL)"));
    exec(db, QStringLiteral("insert into SVersion(theVersion) values(1)"));
    for (const char *t : NumberedTables) {
        const QString table = QLatin1String(t);
        QSqlQuery dup = exec(db, QStringLiteral("select theNum from %1 group by theNum having count(*)>1 order by theNum").arg(table));
        QStringList numbers;
        while (dup.next()) numbers << dup.value(0).toString();
        if (!numbers.isEmpty()) {
            // Documents that already share a number cannot be told apart by
            // their lines; they stay as they are, and new numbers skip them.
            if (numbers.size() > 10) numbers = numbers.mid(0, 10) << QStringLiteral("…");
            notes->append(QStringLiteral("表 %1 中有重复的单据编号：%2。这些单据保持原样，新单据不会再用到这些编号。")
                              .arg(table, numbers.join(QStringLiteral("、"))));
            continue;
        }
        exec(db, QStringLiteral("DROP INDEX IF EXISTS IX_%1_theNum").arg(table));
        exec(db, QStringLiteral("CREATE UNIQUE INDEX IX_%1_theNum ON %1(theNum)").arg(table));
    }
}

// Version 3: the number index of the four trade line tables also holds the
// product, price, quantity and amount of each line (and a sales line's unit
// cost), so that sums over the lines of many documents are read from the index
// alone, without visiting every line's row: the line queries' count and totals
// (lines joined to their documents by number) and the purchase and sales
// statistics (documents driving their lines, totalled per product or document).
// One index serves both and still finds a document's lines by its number.
void linesCoveredByNumber(QSqlDatabase db, QStringList *)
{
    for (const char *t : {"UJH_List", "UCG_O_List", "UXS_List", "UXS_O_List"}) {
        const QString table = QLatin1String(t);
        const QString cost = table == QLatin1String("UXS_List") ? QStringLiteral(",theJJ") : QString();
        exec(db, QStringLiteral("DROP INDEX IF EXISTS IX_%1_theNum").arg(table));
        exec(db, QStringLiteral("CREATE INDEX IX_%1_theNum ON %1(theNum,SID,thePrice,theCount,theSum%2)").arg(table, cost));
    }
}

// Version 4: the stock query sums the quantity and the value of every stock
// row of the live products; with the quantity beside the product in an index
// the sums read the index alone, product after product.
void stockTotals(QSqlDatabase db, QStringList *)
{
    exec(db, QStringLiteral("CREATE INDEX IF NOT EXISTS IX_UKC_SID_theCount ON UKC(SID, theCount)"));
}

// Version 5: the product lookup finds "contains" matches through an index
// where the engine has one (the server). A server that cannot make it (the
// extension missing or not allowed) goes on without it, and says so once.
void productSearch(QSqlDatabase db, QStringList *notes)
{
    const QStringList statements = EngineInfo::productSearchIndex(EngineInfo::of(db));
    if (statements.isEmpty()) return;
    Transaction index(db);
    try {
        for (const QString &sql : statements) exec(db, sql);
        index.commit();
    } catch (const DbError &e) {
        if (notes) *notes << QStringLiteral("服务器上未能建立查找商品用的索引，查找商品会慢一些。\n详细信息：%1").arg(e.text());
    }
}

// Version 6: users' passwords are kept as salted slow hashes, never as the
// password itself; each stored password (the first user's empty one too) is
// replaced by its hash, so everyone logs in with the password they know.
// From now on letter case counts. A missing password (NULL), which matched
// nothing, stays missing. The column needs no widening: the file
// stores text of any length whatever its declared width, and the server's
// text columns have none.
void hashedPasswords(QSqlDatabase db, QStringList *)
{
    QSqlQuery users = exec(db, QStringLiteral("select ID,thePass from SUser order by ID"));
    QList<QPair<int, QString>> plain;
    while (users.next())
        if (!users.value(1).isNull()) plain.append({users.value(0).toInt(), users.value(1).toString()});
    for (const auto &[id, pass] : plain)
        exec(db, QStringLiteral("update SUser set thePass=? where ID=?"), {Passwords::hash(pass), id});
}

// Version 7: the operation log, whose rows can only be added, read by time
// (the newest month first) and by document number; its menu item is granted
// to the shop's administrator alone.
void operationLog(QSqlDatabase db, QStringList *)
{
    createProgramTable(db, QStringLiteral("SOpLog"));
    exec(db, QStringLiteral("CREATE INDEX IX_SOpLog_theTime ON SOpLog(theTime)"));
    exec(db, QStringLiteral("CREATE INDEX IX_SOpLog_theNum ON SOpLog(theNum)"));
    for (const QString &sql : EngineInfo::appendOnly(EngineInfo::of(db), QStringLiteral("SOpLog"),
                                                     QStringLiteral("操作日志只能添加，不能修改或删除")))
        exec(db, sql);
    const MenuEntry *item = menuEntryByCode(QString::fromLatin1(OpLogMenuCode));
    if (!item) return;
    exec(db, QStringLiteral("insert into SMenu(MNum,MName) select ?,? where not exists (select 1 from SMenu where MNum=?)"),
         {item->code, item->rightsName(), item->code});
    exec(db, QStringLiteral("insert into SLevel(UID,MNum) select ID,? from SUser where theName=? "
                            "and not exists (select 1 from SLevel L where L.UID=SUser.ID and L.MNum=?)"),
         {item->code, QStringLiteral("系统管理员"), item->code});
}

// Version 8: the operation log read for one user over a time range, newest
// first; the amount and quantity beside the time let the totals of the user's
// rows be read from the index alone.
void opLogByUser(QSqlDatabase db, QStringList *)
{
    exec(db, QStringLiteral("CREATE INDEX IX_SOpLog_UName_theTime ON SOpLog(UName,theTime,theAmount,theCount)"));
}

// Version 9: on a server, the books' own functions through which the seats'
// role logs in and changes users, rights and passwords (serverrights.h);
// nothing on the file.
void seatFunctions(QSqlDatabase db, QStringList *)
{
    if (!EngineInfo::onServer(db)) return;
    for (const QString &sql : ServerRights::functionStatements(db)) exec(db, sql);
}

const QList<Step> &steps()
{
    static const QList<Step> s{
        {2, uniqueNumbers},
        {3, linesCoveredByNumber},
        {4, stockTotals},
        {5, productSearch},
        {6, hashedPasswords},
        {7, operationLog},
        {8, opLogByUser},
        {9, seatFunctions},
    };
    return s;
}

} // namespace

int currentSchemaVersion() { return steps().isEmpty() ? 1 : steps().last().version; }

int schemaVersion(QSqlDatabase db)
{
    if (!tableExists(db, QStringLiteral("SVersion"))) return 1;
    QSqlQuery q = exec(db, QStringLiteral("select max(theVersion) from SVersion"));
    return q.next() ? q.value(0).toInt() : 1;
}

QStringList upgradeSchema(QSqlDatabase db, int upTo)
{
    QStringList notes;
    if (upTo <= 0) upTo = currentSchemaVersion();
    if (schemaVersion(db) >= upTo) return notes;
    Transaction tx(db);
    // Read again under the write lock: another seat may have upgraded meanwhile.
    const int from = schemaVersion(db);
    for (const Step &step : steps()) {
        if (step.version <= from || step.version > upTo) continue;
        step.run(db, &notes);
        exec(db, QStringLiteral("update SVersion set theVersion=?"), {step.version});
    }
    tx.commit();
    return notes;
}

void createSchema(QSqlDatabase db, int version)
{
    Transaction tx(db);
    createFirstSchema(db);
    upgradeSchema(db, version);
    tx.commit();
}

#pragma once
// A fresh database with the data module on it, for tests.
//
// The engine comes from the environment, so that the same test program runs
// once on each: without JXC_TEST_ENGINE (or with "file") a new SQLite file in a
// temporary folder; with JXC_TEST_ENGINE=server a new database on the test
// server whose socket folder is written in the file JXC_TEST_SERVER_STATE
// (tests/pgcluster.sh starts that server), made from a template of the
// current schema and dropped again at the end. On the server the tests work
// as a seat does: the books are opened once by their owner (which gives the
// seats' role its rights) and then used through the seats' role, made for
// each database; TestDb::Owner keeps the owner's connection instead (backup
// and restore are the owner's).
#include "data/bookslocation.h"
#include "data/dm.h"

#include <QTemporaryDir>
#include <atomic>
#include <memory>
#include <thread>

class TestDb {
public:
    enum Role { Seat, Owner };
    explicit TestDb(Role role = Seat);
    ~TestDb();
    frmDM &dm() { return *m_dm; }
    QSqlDatabase db() { return m_dm->db(); }
    // The SQLite file (file engine); empty on a server.
    QString file() const { return m_where.server ? QString() : m_where.file; }
    // A temporary folder of this database (the program folder of tests that need one).
    QString folder() const { return m_dir.path() + QLatin1Char('/'); }
    // Where these books are, file or server.
    const BooksLocation &location() const { return m_where; }
    bool onServer() const { return m_where.server; }

    // Runs `sql` as the books' owner and gives the first value it returns:
    // fixtures that write users, rights or the operation log, or read
    // password hashes, which a seat may not. On the file the same connection.
    QVariant asOwner(const QString &sql, const QVariantList &binds = {});
    // The owner's connection (the file: the same as db()).
    QSqlDatabase ownerDb();

    // Another seat's connection to the same books, under its own name (it
    // takes part in no Transaction of this process), waiting at most
    // `lockWaitMs` for a lock. Throws on failure.
    QSqlDatabase openSeat(const QString &name, int lockWaitMs = 5000);
    static void closeSeat(const QString &name);

    // Makes the engine refuse every insert into `table` with `message` once the
    // table holds `fromRows` rows (and, when given, the new row meets
    // `newRowCondition`, written with "new."); stopFailing ends it.
    void failInserts(const QString &table, const QString &message, int fromRows = 0,
                     const QString &newRowCondition = QString());
    // The same for the updates of `table`.
    void failUpdates(const QString &table, const QString &message);
    void stopFailing(const QString &table);

    // Small fixtures.
    int addProduct(const QString &name, Money purchase = Money(), Money sales = Money(), const QString &date = QString());
    int addPartner(const QString &name, const QString &type = QStringLiteral("两者皆是"));
    void addWarehouse(const QString &name);

private:
    bool seatsOwnTable(const QString &table);
    void trigger(const QStringList &statements, const QString &table);

    QTemporaryDir m_dir;
    BooksLocation m_where;
    QString m_conn;
    QString m_ownerConn;
    QString m_seatRole;
    std::unique_ptr<frmDM> m_dm;
};

// Whether the tests of this process run on a server (JXC_TEST_ENGINE=server).
bool testsOnServer();
// The test server's books named `database` (as the user the tests connect with).
BooksLocation testServer(const QString &database);
// The address of books for a seat's command line: the file, or postgresql://….
QString booksArgument(const BooksLocation &where);
// A plain connection (not yet open) to the books at `where`, file or test
// server, under the connection name `name`.
QSqlDatabase addTestConnection(const BooksLocation &where, const QString &name);
// A new empty database on the test server, for tests that build books
// themselves (no schema); dropped by dropTestServerDatabase.
QString createEmptyTestServerDatabase();
void dropTestServerDatabase(const QString &database);

// Writes the shop options the saves decide on (negative stock, the two price
// options, the cost method) as they stand in G into the books' shop row, as
// the shop window stores them: saves read them from there.
void storeShopOptions(frmDM &dm);

// Sets the working date and login name used by postings.
void setSession(const QString &workDate = QStringLiteral("2012-11-16"), const QString &login = QStringLiteral("系统管理员"));

// Another seat holding the books for writing for `holdMs` milliseconds, on its
// own connection in its own thread (as another copy of the program would),
// running `sqlWhileHolding` first when given. Ready when constructed.
class OtherSeat {
public:
    OtherSeat(TestDb &t, int holdMs, const QString &sqlWhileHolding = QString());
    ~OtherSeat();

private:
    std::thread m_thread;
    std::atomic<bool> m_holding{false};
};

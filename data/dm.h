#pragma once
// The data module: the one database connection and the shared operations
// through which every document changes stock, the stock ledger, partner
// balances and the money log; numbering, suggested prices, costing; the shared
// pick-list sources.
//
// Every value is bound as a statement parameter. Every operation throws DbError
// when the engine refuses a statement; a document save wraps its calls in one
// Transaction so that nothing of it stays behind after an error.
#include "money.h"

#include <QHash>
#include <QObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <memory>

class QSqlQueryModel;

// "?,?,…,?": the places of `n` bound values in a statement.
QString placeholders(int n);

class frmDM : public QObject {
    Q_OBJECT
public:
    explicit frmDM(QSqlDatabase db, QObject *parent = nullptr);
    ~frmDM() override;

    // The program's one instance (the last one created).
    static frmDM *instance();
    QSqlDatabase db() const { return m_db; }

    // ---- plain statements ----
    // Runs a statement that returns no rows.
    void mySQL(const QString &sql, const QVariantList &binds = {});
    // Runs a statement and returns all its rows (each row its values in column order).
    QVector<QVariantList> rows(const QString &sql, const QVariantList &binds = {});
    // The first column of the first row, or an invalid QVariant when there is none.
    QVariant value(const QString &sql, const QVariantList &binds = {});
    // The number of rows a statement returns.
    int rowCount(const QString &sql, const QVariantList &binds = {});
    // Runs an insert of one row and returns the ID the engine gave it.
    qint64 insertId(const QString &sql, const QVariantList &binds = {});
    // The rows a transaction reads in order to change them (a document read
    // again before it is settled or deleted): on a server they stay locked
    // against other seats until the transaction ends. In a join, `lockAlias`
    // names the table whose rows are locked.
    QVector<QVariantList> rowsToChange(const QString &sql, const QVariantList &binds = {},
                                       const QString &lockAlias = QString());
    // The "contains" test of `field` against one bound pattern ('%' and '_'
    // wildcards), ignoring the case of A to Z on either engine.
    QString likeTerm(const QString &field) const;
    // Runs `sql`, whose "%1" stands for the places of a list of IDs, for the
    // distinct `ids` a few hundred at a time, each time with the values
    // `lead` bound before them, and returns all the rows read. With
    // `toChange` the rows are read as rowsToChange reads them.
    QVector<QVariantList> rowsOfIds(const QString &sql, const QVariantList &lead, const QList<int> &ids,
                                    bool toChange = false);
    // See EngineInfo::readsLookupsFirst.
    bool readsLookupsFirst() const;

    // Writes `rows` into `columns` of `table`, many rows to a statement (one
    // round trip each on a server). Nothing is written when `rows` is empty.
    void insertRows(const QString &table, const QStringList &columns, const QVector<QVariantList> &rows);

    // ---- stock ----
    // Add to or take from the stock of a product in a warehouse (the first
    // movement creates its row) and return the stock after the movement.
    Money KC_Up(const QString &wname, int sid, Money quantity);
    Money KC_Do(const QString &wname, int sid, Money quantity);
    Money myRetKC(const QString &wname, int sid);
    // The stock of several products in one warehouse (0 for a product without
    // a stock row), read in one statement; inside a transaction the rows stay
    // locked as myRetKC's do.
    QHash<int, Money> myRetKCs(const QString &wname, const QList<int> &sids);
    void SaveSList(const QString &word, const QString &num, const QString &wname, int sid,
                   Money countIn, Money countOut, Money price);
    // Stock ledger rows whose stock after the movement is already known (a
    // document's postings, written together after its stock changes).
    struct LedgerRow {
        QString word, num, wname;
        int sid = 0;
        Money countIn, countOut, price, after;
    };
    void SaveSListRows(const QVector<LedgerRow> &rows);

    // ---- money log and balances ----
    void SaveList(const QString &word, const QString &num, Money in, Money out,
                  const QString &account, const QString &payer, const QString &clerk);
    void YS_Up(int uid, Money amount);
    void YS_Do(int uid, Money amount);
    void YF_Up(int uid, Money amount);
    void YF_Do(int uid, Money amount);

    // ---- dictionaries ----
    // Sets theState of one row of SUser, SType, SWare, SAccount, SStaff, SUnits or SShop.
    void myState(const QString &table, const QString &state, int id);
    // Discount percent of a category ("100" for an empty or unknown name).
    QString myRetZK(const QString &category);

    // ---- report scratch ----
    // One UBB row: the date and the thirty figures in column order; empty figures count 0.
    void SaveBB(const QString &date, const QStringList &figures);

    // ---- numbering, prices, cost (separate source files) ----
    QString NewDJNum(const QString &table, const QString &prefix, const QString &separator = QStringLiteral("-"));
    // Stores a new document under a new number, inside the caller's
    // transaction: takes the next number of `table` and calls `insertHeader`
    // with it. Should the number still be taken when the header is written
    // (a program that wrote it without the books' lock), the header is given
    // up alone and written again under the following number. Returns the number used.
    QString insertNumbered(const QString &table, const QString &prefix,
                           const std::function<void(const QString &num)> &insertHeader);
    // The next product number: business date as yymmdd and a four-digit
    // sequence, skipping numbers already given. With `next` the day's count is
    // read only while *next is 0, and *next is left at the sequence after the
    // one given, so numbering many products at once reads the count once.
    QString NewSPNum(int *next = nullptr);
    Money myRetJHPrice(int sid, int uid);
    Money myRetXSPrice(int sid, int uid);
    void myShopCB(int sid, Money quantity, const QString &wname, Money price);
    // myShopCB for the lines of one receipt, in their order, before any of
    // their goods are added to the stock of `wname`.
    struct CostLine {
        int sid = 0;
        Money quantity, price;
    };
    void myShopCBs(const QString &wname, const QVector<CostLine> &lines);

    // ---- pick lists ----
    // Each dictionary has one shared model of its in-use names (column theName).
    // Calling the filler re-reads the model, so every list showing it is refreshed.
    QSqlQueryModel *DBComUser();
    QSqlQueryModel *DBComSType();
    QSqlQueryModel *DBComWare();
    QSqlQueryModel *DBComAccount();
    QSqlQueryModel *DBComStaff();
    QSqlQueryModel *DBComSUType();

    // Lets go of every prepared statement and pick list, before the connection
    // is closed under the module (restore). Later calls prepare them again.
    void releaseStatements();

    // Reads the shop row (SDept) into the global values.
    void FindDept();

    // A server connection lost while the program waited is opened again
    // (::reconnectIfLost, connection.h). Every statement of the module calls
    // it first; a read whose session is lost under it is run once more on a
    // new session.
    void reconnectIfLost();
    // Lets go of the prepared statements (not the pick lists' rows), before
    // their session is replaced.
    void forgetStatements();

private:
    QSqlQuery &prepared(const QString &sql);
    QSqlQuery &run(const QString &sql, const QVariantList &binds);
    QSqlQuery &runOnce(const QString &sql, const QVariantList &binds);
    QSqlQueryModel *pickModel(int which, const QString &sql);
    void balance(const char *sql, int uid, Money amount);

    QSqlDatabase m_db;
    QHash<QString, QSqlQuery> m_queries;   // one prepared query per statement text
    QSqlQuery m_direct;                     // the last statement that is not prepared
    QSqlQueryModel *m_pick[6] = {};
};

// The one instance of the running program.
inline frmDM &DM() { return *frmDM::instance(); }

// The amount in Chinese capitals, as printed after "大写：".
QString NumToChar(Money amount);

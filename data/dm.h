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
#include <memory>

class QSqlQueryModel;

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
    // The row id of the last insert on this connection.
    qint64 lastInsertId();

    // ---- stock ----
    void KC_Up(const QString &wname, int sid, Money quantity);
    void KC_Do(const QString &wname, int sid, Money quantity);
    Money myRetKC(const QString &wname, int sid);
    void SaveSList(const QString &word, const QString &num, const QString &wname, int sid,
                   Money countIn, Money countOut, Money price);

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
    // The next product number: business date as yymmdd and a four-digit
    // sequence, skipping numbers already given. With `next` the day's count is
    // read only while *next is 0, and *next is left at the sequence after the
    // one given, so numbering many products at once reads the count once.
    QString NewSPNum(int *next = nullptr);
    Money myRetJHPrice(int sid, int uid);
    Money myRetXSPrice(int sid, int uid);
    void myShopCB(int sid, Money quantity, const QString &wname, Money price);

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

private:
    QSqlQuery &prepared(const QString &sql);
    QSqlQuery &run(const QString &sql, const QVariantList &binds);
    QSqlQueryModel *pickModel(int which, const QString &sql);
    void balance(const char *sql, int uid, Money amount);

    QSqlDatabase m_db;
    QHash<QString, QSqlQuery> m_queries;   // one prepared query per statement text
    QSqlQueryModel *m_pick[6] = {};
};

// The one instance of the running program.
inline frmDM &DM() { return *frmDM::instance(); }

// The amount in Chinese capitals, as printed after "大写：".
QString NumToChar(Money amount);

#include "testdb.h"
#include "data/connection.h"
#include "data/globals.h"

#include <QSqlDatabase>
#include <stdexcept>

namespace { int g_serial = 0; }

TestDb::TestDb()
{
    m_file = m_dir.path() + QStringLiteral("/Data/db.edb");
    m_conn = QStringLiteral("test%1").arg(++g_serial);
    QString err;
    if (!openDatabase(m_file, m_conn, &err)) throw std::runtime_error(err.toStdString());
    m_dm = std::make_unique<frmDM>(QSqlDatabase::database(m_conn));
}

TestDb::~TestDb()
{
    m_dm.reset();
    {
        QSqlDatabase db = QSqlDatabase::database(m_conn, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_conn);
}

int TestDb::addProduct(const QString &name, Money purchase, Money sales, const QString &date)
{
    m_dm->mySQL(QStringLiteral("insert into SShop(theNum,theName,thePY,theType,theStand,theUnit,theJH,theXS,theCB,theZK,"
                               "theKCMin,theKCMax,theCD,thePH,Remark,theDate,theState,theDel) "
                               "values(?,?,'','','','个',?,?,?,100,0,1000,'','','',?,'启用','否')"),
                {name, name, purchase.toVariant(), sales.toVariant(), purchase.toVariant(), date});
    return int(m_dm->lastInsertId());
}

int TestDb::addPartner(const QString &name, const QString &type)
{
    m_dm->mySQL(QStringLiteral("insert into SUnits(theName,thePY,thePro,thePho,theAdd,Remark,theType,theYS,theYF,theState,theDel) "
                               "values(?,'','','','','',?,0,0,'启用','否')"),
                {name, type});
    return int(m_dm->lastInsertId());
}

void TestDb::addWarehouse(const QString &name)
{
    m_dm->mySQL(QStringLiteral("insert into SWare(theName,Remark,theState) values(?,'','启用')"), {name});
}

void setSession(const QString &workDate, const QString &login)
{
    G.WorkDate = workDate;
    G.LoginName = login;
}

#pragma once
// A fresh database in a temporary folder with the data module on it, for tests.
#include "data/dm.h"

#include <QTemporaryDir>
#include <memory>

class TestDb {
public:
    TestDb();
    ~TestDb();
    frmDM &dm() { return *m_dm; }
    QSqlDatabase db() { return m_dm->db(); }
    QString file() const { return m_file; }
    QString folder() const { return m_dir.path() + QLatin1Char('/'); }

    // Small fixtures.
    int addProduct(const QString &name, Money purchase = Money(), Money sales = Money(), const QString &date = QString());
    int addPartner(const QString &name, const QString &type = QStringLiteral("两者皆是"));
    void addWarehouse(const QString &name);

private:
    QTemporaryDir m_dir;
    QString m_file;
    QString m_conn;
    std::unique_ptr<frmDM> m_dm;
};

// Sets the working date and login name used by postings.
void setSession(const QString &workDate = QStringLiteral("2012-11-16"), const QString &login = QStringLiteral("系统管理员"));

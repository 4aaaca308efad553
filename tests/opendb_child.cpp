// Opens (and so, the first time, creates) the database file given as the only
// argument, then ends. Tests kill it part-way to play an interrupted first start.
#include "data/connection.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) return 2;
    QString err;
    const bool ok = openDatabase(QString::fromLocal8Bit(argv[1]), QStringLiteral("child"), &err);
    closeDatabase(QStringLiteral("child"));
    return ok ? 0 : 1;
}

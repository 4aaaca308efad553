#include "maintenance.h"

#include <QSqlQuery>

void optimizeDatabase(QSqlDatabase db)
{
    if (!db.isOpen()) return;
    // SQLite's advice for long-lived files: before closing, let "optimize" run
    // ANALYZE where this connection's queries would have profited from it. The
    // limit keeps such an ANALYZE to a sample of each index, so that ending the
    // program stays quick on ten years of data.
    QSqlQuery q(db);
    if (q.exec(QStringLiteral("PRAGMA analysis_limit=400"))) q.exec(QStringLiteral("PRAGMA optimize"));
}

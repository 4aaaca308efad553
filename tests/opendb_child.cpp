// Opens (and so, the first time, creates) the books given as the only
// argument, a database file or a server address (postgresql://…), then ends.
// Tests kill it part-way to play an interrupted first start, or start several
// at once to play seats starting together.
#include "data/connection.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) return 2;
    const QString books = QString::fromLocal8Bit(argv[1]);
    BooksLocation where = BooksLocation::ofFile(books);
    QString err;
    if (books.startsWith(QLatin1String("postgres")) && !BooksLocation::fromUrl(books, &where, &err)) return 2;
    const bool ok = openBooks(where, QStringLiteral("child"), &err);
    if (!ok) std::fprintf(stderr, "%s\n", qPrintable(err));
    closeDatabase(QStringLiteral("child"));
    return ok ? 0 : 1;
}

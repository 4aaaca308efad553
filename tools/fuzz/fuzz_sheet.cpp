// libFuzzer harness for the spreadsheet readers of the import (SheetFile::read),
// kept apart from the product build: CMake does not build it, CTest does not
// run it. Build and run with tools/fuzz/run.sh (see there). The mode is chosen
// when compiling:
//   FUZZ_RAW    the input is the file as it is (an .xls or .xlsx by content)
//   FUZZ_BIFF   the input is a BIFF8 workbook stream, put into a compound
//               document as the stream "Workbook"
//   FUZZ_PARTS  the input is the XML of an .xlsx's parts, separated by a line
//               "@@": the sheet, the table of texts, the styles, the workbook,
//               the workbook's relationships; stored (not deflated) in the
//               archive, so that the fuzzer reaches the XML
#include "master/sheet.h"
#include "tests/craftedbook.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

QString scratchFile()
{
    static const QString file = [] {
        const char *dir = std::getenv("FUZZ_TMP");
        return QString::fromLocal8Bit(dir ? dir : "/tmp") + QStringLiteral("/sheetfuzz-%1").arg(getpid());
    }();
    static const bool cleanup = std::atexit([] { QFile::remove(scratchFile()); }) == 0;
    Q_UNUSED(cleanup);
    return file;
}

bool writeInput(const QByteArray &in, const QString &file)
{
#if defined(FUZZ_BIFF)
    const QByteArray doc = CraftedBook::compoundDocument(in);
    if (doc.isEmpty()) return false;
    return CraftedBook::writeFile(file, doc);
#elif defined(FUZZ_PARTS)
    QList<QByteArray> parts;
    for (qsizetype from = 0;;) {
        const qsizetype at = in.indexOf("\n@@\n", from);
        parts << in.mid(from, at < 0 ? -1 : at - from);
        if (at < 0) break;
        from = at + 4;
    }
    QList<CraftedBook::Part> replace;
    const char *names[] = {"xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", "xl/styles.xml", "xl/workbook.xml",
                           "xl/_rels/workbook.xml.rels"};
    for (int i = 0; i < parts.size() && i < 5; ++i)
        if (!parts[i].isEmpty()) replace << CraftedBook::Part{QString::fromLatin1(names[i]), parts[i], true};
    QList<CraftedBook::Part> all = CraftedBook::xlsx(QByteArray(), QByteArray("<si><t>x</t></si>"), replace);
    for (CraftedBook::Part &p : all) p.stored = true;
    return CraftedBook::writeZip(file, all);
#else
    return CraftedBook::writeFile(file, in);
#endif
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray in(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString file = scratchFile();
    if (!writeInput(in, file)) return -1;
    Sheet sheet;
    QString error;
    const bool ok = SheetFile::read(file, QStringLiteral("Sheet1"), &sheet, &error);
    // FUZZ_SHOW=1: tells what became of each input (to check seeds and findings).
    static const bool show = std::getenv("FUZZ_SHOW") != nullptr;
    if (show)
        std::fprintf(stderr, "%s\n", ok ? qPrintable(QStringLiteral("ok %1 records, columns %2").arg(sheet.rowCount()).arg(sheet.columns.join(QLatin1Char('|'))))
                                        : qPrintable(error));
    return 0;
}

// Reads the sheet "Sheet1" of the workbook given as the only argument, as the
// import does, and tells on stdout how it went and what it took:
//   ok <records> <columns> <peak KB> <ms>
//   refused <peak KB> <ms>
//   <the message>
// The peak is the process's highest resident memory (VmHWM), the time the
// processor time the reading took (user and system), so that a busy machine
// does not change it much. Tests run it with
// a cap on its address space, so that a reader that would take the machine's
// memory fails quickly instead.
#include "master/sheet.h"

#include <QFile>
#include <cstdio>
#include <sys/resource.h>

namespace {

long peakKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

qint64 cpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return qint64(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) return 2;
    const qint64 start = cpuMs();
    Sheet s;
    QString error;
    const bool ok = SheetFile::read(QString::fromLocal8Bit(argv[1]), QStringLiteral("Sheet1"), &s, &error);
    const qint64 ms = cpuMs() - start;
    if (ok)
        std::printf("ok %d %d %ld %lld\n", s.rowCount(), int(s.columns.size()), peakKb(), ms);
    else
        std::printf("refused %ld %lld\n%s\n", peakKb(), ms, error.toUtf8().constData());
    return 0;
}

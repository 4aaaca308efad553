#pragma once
// A test program's main that runs its test functions one at a time: an
// exception that a test function lets out (an engine error that nobody
// expected, the test server refusing a new database) fails that function,
// and the program goes on with the next one instead of ending there. With
// arguments (chosen functions, options) the program runs once, as asked.
#include <QApplication>
#include <QMetaMethod>
#include <QtTest>
#include <exception>

namespace EachTest {

inline bool isTestFunction(const QMetaMethod &m)
{
    if (m.methodType() != QMetaMethod::Slot || m.access() != QMetaMethod::Private || m.parameterCount() != 0)
        return false;
    const QByteArray name = m.name();
    return name != "initTestCase" && name != "cleanupTestCase" && name != "init" && name != "cleanup"
           && !name.endsWith("_data");
}

// Returns the number of test functions that failed or threw.
inline int run(QObject *test, int argc, char **argv)
{
    if (argc > 1) return QTest::qExec(test, argc, argv);
    int failed = 0;
    const QMetaObject *mo = test->metaObject();
    for (int i = mo->methodOffset(); i < mo->methodCount(); ++i) {
        const QMetaMethod m = mo->method(i);
        if (!isTestFunction(m)) continue;
        QByteArray name = m.name();
        char *args[] = {argv[0], name.data(), nullptr};
        try {
            if (QTest::qExec(test, 2, args) != 0) ++failed;
        } catch (const std::exception &e) {
            // QtTest has told the failure already; what was thrown is told here.
            qWarning("%s threw: %s", name.constData(), e.what());
            ++failed;
        } catch (...) {
            qWarning("%s threw", name.constData());
            ++failed;
        }
    }
    return failed;
}

} // namespace EachTest

// In place of QTEST_MAIN.
#define JXC_TEST_MAIN_EACH(TestObject)                                                                                 \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        QApplication app(argc, argv);                                                                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return EachTest::run(&tc, argc, argv);                                                                         \
    }

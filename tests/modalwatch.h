#pragma once
// A watch over the modal windows of a test program that drives screens: a
// modal window still open after `LimitMs` (a box that nobody answers, a picker
// opened where the test expected none, a dialog whose closing step did not
// work) fails the test function running and is closed with every other modal
// window, so that the test goes on to its end within seconds instead of
// waiting in the window's own event loop for the test runner's time-out.
// After such a failure, modal windows the same test function opens are closed
// at once.
//
// Included by the helpers of the screen tests; each program that includes it
// starts one watch when its application starts.
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QtTest>

namespace ModalWatch {

// Far more than any step of a test needs on a loaded machine, far less than
// the test runner's time-out.
inline constexpr int LimitMs = 10000;

class Watch : public QObject {
public:
    Watch()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
        m_timer.start(100);
    }

private:
    void tick()
    {
        QWidget *top = QApplication::activeModalWidget();
        if (top != m_top) {
            m_top = top;
            m_since.start();
        }
        if (!top) return;
        const QByteArray test = QTest::currentTestFunction() ? QByteArray(QTest::currentTestFunction()) : QByteArray();
        const bool failedHere = !test.isEmpty() && test == m_failedIn;
        if (!failedHere && m_since.elapsed() < LimitMs) return;
        if (!failedHere) {
            m_failedIn = test;
            QByteArray what = "a modal window stayed open: " + QByteArray(top->metaObject()->className()) + " \""
                                    + top->windowTitle().toUtf8() + "\"";
            if (auto *box = qobject_cast<QMessageBox *>(top)) what += ": " + box->text().toUtf8();
            QTest::qFail(what.constData(), __FILE__, __LINE__);
        }
        closeAll();
        m_top = nullptr;
    }

    static void closeAll()
    {
        // Newest first: a box over a dialog goes before the dialog.
        while (QWidget *w = QApplication::activeModalWidget()) {
            QPointer<QWidget> guard(w);
            if (auto *d = qobject_cast<QDialog *>(w)) d->reject();
            else w->close();
            if (guard && guard->isVisible()) guard->hide();
            if (guard && QApplication::activeModalWidget() == guard) break;
        }
    }

    QTimer m_timer;
    QPointer<QWidget> m_top;
    QElapsedTimer m_since;
    QByteArray m_failedIn;
};

} // namespace ModalWatch

inline void startModalWatch()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) return;
    static bool started = false;
    if (started) return;
    started = true;
    (new ModalWatch::Watch)->setParent(QCoreApplication::instance());
}

Q_COREAPP_STARTUP_FUNCTION(startModalWatch)

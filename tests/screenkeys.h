#pragma once
// Driving screens the way a clerk does, for the screen tests: keys go to the
// widget that has the focus (QApplication::focusWidget()), Tab walks are
// recorded by the fields' names, and real message boxes run their own event
// loop and are closed with Enter, as the user would close them.
#include "modalwatch.h"
#include "ui/msg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace Keys {

inline QWidget *focus() { return QApplication::focusWidget(); }

// The text a key event carries on X11: Ctrl+letter gives a control character
// (Ctrl+V is "\x16"), keys such as Tab, Enter and Backspace their ASCII code.
inline QString textOf(int key, Qt::KeyboardModifiers mods)
{
    if (mods & Qt::ControlModifier) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z) return QString(QChar(ushort(key - Qt::Key_A + 1)));
        return QString();
    }
    if (mods & Qt::AltModifier || key == Qt::Key_Backtab) return QString();
    const char c = QTest::keyToAscii(Qt::Key(key));
    return c ? QString(QLatin1Char(c)) : QString();
}

// One key, pressed and released where the focus is at each moment (a key
// that moves the focus is released over the widget that has it then).
inline void press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString &text = QString())
{
    QWidget *w = focus();
    if (!w) QFAIL("no widget has the focus");
    const QString t = text.isNull() ? textOf(key, mods) : text;
    QKeyEvent down(QEvent::KeyPress, key, mods, t);
    QApplication::sendEvent(w, &down);
    if (QWidget *now = focus()) {
        QKeyEvent up(QEvent::KeyRelease, key, mods, t);
        QApplication::sendEvent(now, &up);
    }
}

// Typed text, one character after the other, where the focus is.
inline void type(const QString &text)
{
    for (QChar c : text) {
        const int key = c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A') : c.unicode();
        press(key, Qt::NoModifier, QString(c));
    }
}

inline QString nameOf(QWidget *w)
{
    if (!w) return QStringLiteral("(none)");
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

// The fields Tab visits from the focus now until it comes back to the start
// (a field that keeps the focus over several Tabs, such as the sections of a
// date, is listed once). The start is the first entry and the last.
inline QStringList tabWalk(int limit = 60)
{
    QWidget *start = focus();
    QStringList out{nameOf(start)};
    QWidget *last = start;
    for (int i = 0; i < limit; ++i) {
        press(Qt::Key_Tab);
        QWidget *now = focus();
        if (now == last) continue;
        out << nameOf(now);
        last = now;
        if (now == start) break;
    }
    return out;
}

// Shift+Tab once.
inline void backTab() { press(Qt::Key_Backtab, Qt::ShiftModifier); }

} // namespace Keys

// While it lives, message boxes are real (no Msg handler): each modal window
// that opens is recorded and closed with Enter sent to
// QApplication::activeModalWidget(), from a timer running inside the box's
// own event loop.
class RealModal : public QObject {
public:
    struct Box {
        QString title;
        QString text;
        QStringList buttons;  // the standard buttons' texts, in order
        QString defaultButton;
        int width = 0;
        QFont font;
    };

    RealModal()
    {
        Msg::setHandler(nullptr);
        connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
        m_timer.start(10);
    }

    QList<Box> boxes;
    QStringList texts() const
    {
        QStringList out;
        for (const Box &b : boxes) out << b.text;
        return out;
    }

private:
    void tick()
    {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || !w->isVisible() || w == m_last) return;
        m_last = w;
        Box b;
        b.title = w->windowTitle();
        b.width = w->width();
        b.font = w->font();
        if (auto *box = qobject_cast<QMessageBox *>(w)) {
            b.text = box->text();
            for (QAbstractButton *button : box->buttons()) b.buttons << button->text();
            if (box->defaultButton()) b.defaultButton = box->defaultButton()->text();
        }
        boxes << b;
        QTest::keyClick(w, Qt::Key_Return);
    }

    QTimer m_timer;
    QPointer<QWidget> m_last;
};

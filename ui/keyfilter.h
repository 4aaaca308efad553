#pragma once
// Key filters for input fields: only the allowed characters, Backspace and
// Enter get through; every other typed character is swallowed. Keys that type
// nothing (arrows, Delete, Tab, Esc) pass as usual, and so do shortcuts with
// Ctrl or Alt (select all, copy, cut, paste, undo, the menu accelerators): a
// filter stops typing only, so what a field holds is read again by the save
// with its checked rule (data/numinput.h).
//
//   KeyFilter::install(edit, KeyFilter::Number);  // digits, ".", Backspace, Enter
//   KeyFilter::install(edit, KeyFilter::Digits);  // digits, Backspace, Enter
//   KeyFilter::install(edit, KeyFilter::Signed);  // digits, ".", "-", Backspace, Enter
#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QWidget>

class KeyFilter : public QObject {
public:
    enum Mode { Digits, Number, Signed };

    KeyFilter(Mode mode, QObject *parent) : QObject(parent), m_mode(mode) {}

    static void install(QWidget *w, Mode mode) { w->installEventFilter(new KeyFilter(mode, w)); }

    // Whether a typed character passes.
    static bool allowed(QChar c, Mode mode)
    {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) return true;
        if (mode != Digits && c == QLatin1Char('.')) return true;
        if (mode == Signed && c == QLatin1Char('-')) return true;
        // Backspace, Enter, Tab and Esc do their usual work.
        return c == QLatin1Char('\b') || c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t')
            || c == QChar(0x1b);
    }

protected:
    bool eventFilter(QObject *obj, QEvent *e) override
    {
        if (e->type() == QEvent::KeyPress) {
            const auto *k = static_cast<QKeyEvent *>(e);
            const QString t = k->text();
            const bool shortcut = k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
            const bool moves = k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab || k->key() == Qt::Key_Delete
                || k->key() == Qt::Key_Escape;
            if (!t.isEmpty() && !shortcut && !moves) {
                for (QChar c : t)
                    if (!allowed(c, m_mode)) return true;
            }
        }
        return QObject::eventFilter(obj, e);
    }

private:
    Mode m_mode;
};

#include "passwordmask.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>

namespace {
class AtMaskStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *ret) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter) return QLatin1Char('@').unicode();
        if (hint == SH_LineEdit_PasswordMaskDelay) return 0;
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

QStyle *atMaskStyle()
{
    // One style for all password fields, living as long as the application.
    static QPointer<QStyle> style;
    if (!style) {
        style = new AtMaskStyle;
        style->setParent(qApp);
    }
    return style;
}
}

void makePasswordField(QLineEdit *edit, int maxLength)
{
    edit->setStyle(atMaskStyle());
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(maxLength);
}

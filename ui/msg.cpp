#include "msg.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace Msg {

namespace {
Handler g_handler;
QString g_answerText;

// A message box is as wide as its text; a short text under a long caption
// would cut the caption off in the title bar. The box is kept wide enough for
// the caption in a bold title font, with room for the title bar's icon and buttons.
void widenToTitle(QMessageBox &box, const QString &caption)
{
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid) return;
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const QFontMetrics fm(titleFont);
    const int width = fm.horizontalAdvance(caption) + 8 * fm.height();
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

int show(QWidget *parent, QMessageBox::Icon icon, Kind kind, const QString &caption, const QString &text,
         bool question, bool defaultNo)
{
    if (g_handler) return g_handler(Shown{kind, caption, text, defaultNo});
    QMessageBox box(icon, caption, text, question ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, parent);
    if (question) box.setDefaultButton(defaultNo ? QMessageBox::No : QMessageBox::Yes);
    widenToTitle(box, caption);
    return box.exec() == QMessageBox::Yes ? 1 : 0;
}

QString captionOr(const QString &c) { return c.isEmpty() ? appTitle() : c; }
}

QString appTitle() { return QStringLiteral("Tavrel进销存软件"); }

void info(QWidget *parent, const QString &text, const QString &caption)
{
    show(parent, QMessageBox::Information, Kind::Info, captionOr(caption), text, false, false);
}

void warning(QWidget *parent, const QString &text, const QString &caption)
{
    show(parent, QMessageBox::Warning, Kind::Warning, captionOr(caption), text, false, false);
}

void error(QWidget *parent, const QString &text)
{
    show(parent, QMessageBox::Critical, Kind::Error, appTitle(), text, false, false);
}

bool ask(QWidget *parent, const QString &text, const QString &caption, bool defaultNo)
{
    return show(parent, QMessageBox::Question, Kind::Question, captionOr(caption), text, true, defaultNo) != 0;
}

bool confirmDelete(QWidget *parent)
{
    return ask(parent, QStringLiteral("确认要删除吗？该删除将不可恢复！"), QStringLiteral("删除"), true);
}

QString openFile(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    if (g_handler) return g_handler(Shown{Kind::FileOpen, caption, filter}) ? g_answerText : QString();
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString saveFile(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    if (g_handler) return g_handler(Shown{Kind::FileSave, caption, filter}) ? g_answerText : QString();
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

QString chooseFolder(QWidget *parent, const QString &caption, const QString &dir)
{
    if (g_handler) return g_handler(Shown{Kind::Folder, caption, QString()}) ? g_answerText : QString();
    return QFileDialog::getExistingDirectory(parent, caption, dir);
}

QString emptyText(const QString &label) { return label + QStringLiteral(" 不能为空，请重新录入！"); }
QString chooseText(const QString &label) { return QStringLiteral("请选择 ") + label + QStringLiteral("！"); }
QString existsText(const QString &label) { return label + QStringLiteral(" 已存在，请重新录入！"); }
QString savedText(const QString &object) { return QStringLiteral("恭喜！恭喜！ ") + object + QStringLiteral(" 保存成功！"); }

void setHandler(Handler h) { g_handler = std::move(h); }
void setAnswerText(const QString &text) { g_answerText = text; }

} // namespace Msg

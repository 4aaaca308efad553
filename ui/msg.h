#pragma once
// Every message box, question and file dialog of the program goes through here,
// so that the texts live in one place and tests can read what is shown and give
// the answer (setHandler).
#include <QString>
#include <functional>

class QWidget;

namespace Msg {

enum class Kind { Info, Warning, Error, Question, FileOpen, FileSave, Folder };

struct Shown {
    Kind kind;
    QString caption;
    QString text;        // message text; for file dialogs the filter
    bool defaultNo = false;
};

// The application title, the caption of plain message boxes.
QString appTitle();

// A plain message box with the application title (information icon).
void info(QWidget *parent, const QString &text, const QString &caption = QString());
// A warning box.
void warning(QWidget *parent, const QString &text, const QString &caption = QString());
// The standard error box (engine and conversion errors).
void error(QWidget *parent, const QString &text);
// A Yes/No question with the question icon. Returns true for Yes.
bool ask(QWidget *parent, const QString &text, const QString &caption = QString(), bool defaultNo = false);
// "确认要删除吗？该删除将不可恢复！", captioned "删除", No preselected.
bool confirmDelete(QWidget *parent);

// File dialogs. Return an empty text when cancelled.
QString openFile(QWidget *parent, const QString &caption, const QString &dir, const QString &filter);
QString saveFile(QWidget *parent, const QString &caption, const QString &dir, const QString &filter);
QString chooseFolder(QWidget *parent, const QString &caption, const QString &dir);

// The system's repeated texts.
QString emptyText(const QString &label);      // label + " 不能为空，请重新录入！"
QString chooseText(const QString &label);     // "请选择 " + label + "！"
QString existsText(const QString &label);     // label + " 已存在，请重新录入！"
QString savedText(const QString &object);     // "恭喜！恭喜！ " + object + " 保存成功！"

// Test hook: when set, no dialog is shown; the handler receives what would be
// shown and returns the answer: for questions non-zero means Yes; for file
// dialogs the answer text is taken from answerText. Pass nullptr to restore.
using Handler = std::function<int(const Shown &)>;
void setHandler(Handler h);
void setAnswerText(const QString &text);

} // namespace Msg

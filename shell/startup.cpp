#include "startup.h"
#include "accounts.h"
#include "ui/msg.h"

#include "data/dberror.h"
#include "data/dm.h"
#include "data/bookslocation.h"
#include "data/globals.h"
#include "data/engine.h"
#include "data/serverrights.h"
#include "data/singleinstance.h"

#include <QApplication>
#include <QDateEdit>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QRegularExpression>
#include <QSettings>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

// The help page is built into the program; it is written out beside it the first
// time it is needed, so the browser can open it as a plain file.
static void initHelpResource() { Q_INIT_RESOURCE(help); }

namespace Shell {

namespace {
std::function<void()> g_endHook;
std::function<void(const QUrl &)> g_urlHook;

// Gives every date picker the program's date format when it is first polished,
// unless the screen chose a format of its own (month pickers and the like).
class DateEditFormatter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Polish) {
            if (auto *edit = qobject_cast<QDateEdit *>(watched)) {
                if (edit->displayFormat() == edit->locale().dateFormat(QLocale::ShortFormat))
                    edit->setDisplayFormat(QString::fromLatin1(DateFormat));
            }
        }
        return false;
    }
};

// When a window closes, the window it was opened from takes the keyboard
// again. Some window managers leave no window active after a dialog closes,
// and the clerk's next keys would go nowhere.
class FocusKeeper : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Hide) return false;
        auto *w = qobject_cast<QWidget *>(watched);
        if (!w || !w->isWindow() || !w->parentWidget()) return false;
        QPointer<QWidget> back = w->parentWidget()->window();
        QTimer::singleShot(0, back, [back] {
            if (!back || !back->isVisible()) return;
            QWidget *active = QApplication::activeWindow();
            if (active && active->isVisible()) return;
            // A modal window still open keeps the keyboard; otherwise the opener takes it.
            QWidget *modal = QApplication::activeModalWidget();
            QWidget *target = modal && modal->isVisible() ? modal : back.data();
            target->activateWindow();
            target->raise();
        });
        return false;
    }
};
}

QString programFolder()
{
    QString dir = QCoreApplication::applicationDirPath();
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    return dir;
}

bool claimSingleInstance(SingleInstance &lock)
{
    if (lock.acquire()) return true;
    if (!lock.error().isEmpty()) {
        Msg::error(nullptr, lock.error());
        return false;
    }
    Msg::warning(nullptr,
                 QStringLiteral("Tavrel进销存软件 已经打开了！\n正在使用的账套文件夹：%1").arg(QDir::toNativeSeparators(lock.booksFolder())),
                 QStringLiteral("警告"));
    return false;
}

void installDateFormat()
{
    static bool done = false;
    if (done || !qApp) return;
    done = true;
    // Chinese month and day names, "." as decimal point.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    qApp->installEventFilter(new DateEditFormatter(qApp));
    qApp->installEventFilter(new FocusKeeper(qApp));
}

bool installQtTranslations()
{
    static QTranslator *installed = nullptr;
    if (installed) return true;
    if (!qApp) return false;
    auto *t = new QTranslator(qApp);
    // Qt's own folder, else the copy the package brings (/usr/share/jxc/translations).
    const QStringList folders{QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                              QCoreApplication::applicationDirPath() + QStringLiteral("/../share/jxc/translations")};
    bool loaded = false;
    for (const QString &folder : folders)
        if (!loaded) loaded = t->load(QStringLiteral("qtbase_zh_CN"), folder);
    if (!loaded) {
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    installed = t;
    return true;
}

void endProgram()
{
    // The user leaves: told in the log when the books can still take it
    // (a restore may have closed them); the program ends all the same.
    if (!G.LoginName.isEmpty()) {
        if (frmDM *dm = frmDM::instance(); dm && dm->db().isOpen()) {
            try {
                Accounts::logout(*dm);
            } catch (const DbError &) {
            }
        }
    }
    if (g_endHook) {
        g_endHook();
        return;
    }
    QCoreApplication::exit(0);
}

void setEndHook(std::function<void()> hook) { g_endHook = std::move(hook); }

void warnExposedSettings(const QString &appPath)
{
    const QString file = serverSettingsFile(appPath);
    if (!settingsPasswordExposed(file)) return;
    const QString path = QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
    // Quoted for the shell when the folder's name holds blanks or the like.
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+-]+$"));
    const QString arg = plain.match(path).hasMatch() ? path : QStringLiteral("'%1'").arg(QString(path).replace(QStringLiteral("'"), QStringLiteral("'\\''")));
    Msg::warning(nullptr, QStringLiteral("设置文件 %1 中保存着连接服务器的密码，本机的其他用户也能读取它。\n"
                                         "请用以下命令让这个文件只有自己能读写：\nchmod 600 %2")
                              .arg(path, arg));
}

void adviseSeatRole(QSqlDatabase db)
{
    if (!EngineInfo::onServer(db)) return;
    QString owner, seat;
    try {
        if (!ServerRights::ownsBooks(db)) return;
        seat = ServerRights::seatRole(db);
        owner = db.userName().isEmpty() ? ServerRights::booksOwner(db) : db.userName();
    } catch (const DbError &) {
        return;
    }
    QSettings said(QStringLiteral("jxc"), QStringLiteral("jxc"));
    const QString key = QStringLiteral("seatRoleAdvised/")
                        + QString::fromLatin1(QUrl::toPercentEncoding(DbError::serverPlace(db)));
    if (said.value(key).toBool()) return;
    said.setValue(key, true);
    Msg::info(nullptr, QStringLiteral("本机以账套所有者（或数据库超级用户）%1 的身份连接%2。\n"
                                      "账套所有者用于建立、升级、备份和恢复账套。多台电脑共用账套时，各座席应以座席角色 %3 连接"
                                      "（Data/server.ini 中写 user=%3）：座席角色不能删除或改动数据表，读不到用户的密码，"
                                      "也不能直接改动用户和权限。\n（本提示只显示一次。）")
                              .arg(owner, DbError::serverPlace(db), seat));
}

void openUrl(const QUrl &url)
{
    if (g_urlHook) {
        g_urlHook(url);
        return;
    }
    QDesktopServices::openUrl(url);
}

void setUrlHook(std::function<void(const QUrl &)> hook) { g_urlHook = std::move(hook); }

QString helpPage()
{
    const QString page = G.AppPath + QStringLiteral("help/index.html");
    if (QFileInfo::exists(page)) return page;
    initHelpResource();
    const QString builtIn = QStringLiteral(":/help/index.html");
    if (QDir().mkpath(QFileInfo(page).absolutePath()) && QFile::copy(builtIn, page)) return page;
    // A books' folder we may not write to: a copy in the temporary folder serves as well.
    const QString spare = QDir::temp().filePath(QStringLiteral("jxc-help/index.html"));
    if (QFileInfo::exists(spare) || (QDir().mkpath(QFileInfo(spare).absolutePath()) && QFile::copy(builtIn, spare)))
        return spare;
    return page;
}
QString webSite() { return QStringLiteral("http://www.tavrel.com/"); }

} // namespace Shell

#pragma once
// Watches what the screens show and end, for the shell tests: every message box
// (with a chosen answer to questions), every program end and every address opened.
#include "ui/msg.h"
#include "modalwatch.h"
#include "shell/startup.h"

#include <QList>
#include <QUrl>

struct MsgSpy {
    QList<Msg::Shown> shown;
    bool answer = false;   // the answer to questions

    MsgSpy()
    {
        Msg::setHandler([this](const Msg::Shown &s) {
            shown << s;
            return answer ? 1 : 0;
        });
    }
    ~MsgSpy() { Msg::setHandler(nullptr); }
    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    QString lastCaption() const { return shown.isEmpty() ? QString() : shown.last().caption; }
    void clear() { shown.clear(); }
};

struct EndSpy {
    int ended = 0;
    EndSpy() { Shell::setEndHook([this] { ++ended; }); }
    ~EndSpy() { Shell::setEndHook(nullptr); }
};

struct UrlSpy {
    QList<QUrl> opened;
    UrlSpy() { Shell::setUrlHook([this](const QUrl &u) { opened << u; }); }
    ~UrlSpy() { Shell::setUrlHook(nullptr); }
};

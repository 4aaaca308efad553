#pragma once
// "操作日志": who did what in the books, when and at which seat, with the
// document number and what it moved. The log grows by every change of many
// years, so it is read a page at a time, newest first; its rows can only be
// read here.
#include "ui/listscreen.h"

class frmOpLog : public ListScreen {
    Q_OBJECT
public:
    explicit frmOpLog(QWidget *parent = nullptr);

    // The kinds the kind drop-down offers; any other text can be typed.
    static QStringList kindWords();
};

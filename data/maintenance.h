#pragma once
// Upkeep of the database file that the program does on its own.
#include <QSqlDatabase>

// Lets the engine bring its planner statistics up to date where the work of
// this run showed they are missing or stale, within a bounded amount of work.
// Meant for the end of the program, just before the connection is closed.
// Never fails: upkeep that cannot be done now is done at a later end.
void optimizeDatabase(QSqlDatabase db);

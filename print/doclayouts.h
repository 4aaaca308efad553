#pragma once
// The built-in templates of the printed documents, one per kind, and the
// datasets they read ("shop", "title", "header", "lines").
#include "printdata.h"
#include "report.h"

Report::Template documentTemplate(DocKind kind);
Report::DataSets documentDataSets(const PrintData &data);

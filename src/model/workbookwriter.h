#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Tables written as Excel workbooks (.xlsx) with libxlsxwriter, for the
// accountant who wants the report in Excel and the office that keeps its
// customers there.
namespace velmor {

// One sheet: its name, a header row and the rows under it. The columns in
// dateTimeColumns hold ISO 8601 stamps ("2010-03-15T09:30:05") and become
// date-time cells shown as GG.AA.YYYY SS:DD; every other cell is a text cell,
// so that a telephone number keeps its leading zero. A cell that starts like
// a formula gets a "'" before it, as in CSV files (NeutralisedCell).
struct WorkbookSheet
{
    QString name;
    QList<QStringList> rows; // the first is the header
    QList<int> dateTimeColumns;
};

// The most rows a sheet takes, the header included.
inline constexpr qsizetype kWorkbookMaxRows = 1'048'576;

// A name a spreadsheet program takes for a sheet: at most 31 characters,
// none of []:*?/\ and no "'" at either end; fallback when nothing is left.
QString WorkbookSheetName(const QString &name, const QString &fallback);

// The workbook's bytes: the header bold and frozen, each column as wide as
// its longest cell (within reason). Empty, with *error set, when it cannot
// be made (more rows than a sheet takes, no room for the temporary file).
QByteArray WorkbookBytes(const WorkbookSheet &sheet, QString *error);

} // namespace velmor

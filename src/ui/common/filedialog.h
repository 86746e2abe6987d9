#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

#include "model/workbookwriter.h"

class QWidget;

namespace velmor {

// Every file dialog of the program goes through here, so that tests can
// answer with a path (or a cancel) without a modal loop.
class FileDialog
{
public:
    enum class Mode { Save, Open };
    struct Request
    {
        Mode mode = Mode::Save;
        QString caption;
        QString suggestedPath; // the proposed file (Save) or folder (Open)
        QString filter;        // e.g. "CSV dosyası (*.csv)"
    };
    // Receives every dialog instead of the screen while set; returns the
    // chosen path, or the empty text for a cancel.
    using Handler = std::function<QString(const Request &)>;

    // The path to write to, or the empty text when the user cancelled;
    // selectedFilter, when given, receives the filter the user chose (the
    // first one when a handler answers).
    static QString getSaveFileName(QWidget *parent, const QString &caption, const QString &suggestedPath,
                                   const QString &filter, QString *selectedFilter = nullptr);
    // The file to read, or the empty text when the user cancelled.
    static QString getOpenFileName(QWidget *parent, const QString &caption, const QString &folder,
                                   const QString &filter);

    static void setHandler(Handler handler);

private:
    static QString run(QWidget *parent, const Request &request, QString *selectedFilter = nullptr);
};

// The two forms a table is saved in.
enum class TableFormat { Csv, Workbook };
struct TableFileChoice
{
    QString path;
    TableFormat format = TableFormat::Csv;
};

// Asks where to save a table, offering "CSV dosyası (*.csv)" and "Excel
// Çalışma Kitabı (*.xlsx)". The form follows the extension typed (".xlsx"
// or ".csv"), else the filter chosen, whose extension is then added.
// suggestedPath ends in ".csv". Nothing when the user cancelled.
std::optional<TableFileChoice> AskTableFile(QWidget *parent, const QString &caption, const QString &suggestedPath);

// Writes the bytes to path, replacing the file only when written whole;
// otherwise the user is told, the message beginning with failureText. True
// when the file was written.
bool WriteFileOrTell(QWidget *parent, const QString &path, const QByteArray &content, const QString &failureText);

// Asks where (AskTableFile) and saves the table there: the rows csvRows
// gives as a CSV file (WriteCsv), or the sheet workbook gives as a workbook
// (WorkbookBytes); only the one chosen is made. True when the file was written.
bool SaveTableFile(QWidget *parent, const QString &caption, const QString &suggestedPath,
                   const std::function<QList<QStringList>()> &csvRows, const std::function<WorkbookSheet()> &workbook,
                   const QString &failureText);
// The same rows either way, the workbook's one sheet named sheetName.
bool SaveTableFile(QWidget *parent, const QString &caption, const QString &suggestedPath,
                   const QList<QStringList> &rows, const QString &sheetName, const QString &failureText);
// Asks where to save any content, made once a path is chosen (filter, e.g.
// "PNG resmi (*.png)"), adds the suffix to a name without one and writes it
// whole or not at all (WriteFileOrTell).
bool SaveFileContent(QWidget *parent, const QString &caption, const QString &suggestedPath, const QString &filter,
                     const QString &suffix, const std::function<QByteArray()> &content, const QString &failureText);

} // namespace velmor

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

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

    // The path to write to, or the empty text when the user cancelled.
    static QString getSaveFileName(QWidget *parent, const QString &caption, const QString &suggestedPath,
                                   const QString &filter);
    // The file to read, or the empty text when the user cancelled.
    static QString getOpenFileName(QWidget *parent, const QString &caption, const QString &folder,
                                   const QString &filter);

    static void setHandler(Handler handler);

private:
    static QString run(QWidget *parent, const Request &request);
};

// Asks where to save a table and writes it there as a CSV file (WriteCsv),
// ".csv" added to a name without a suffix. The file is replaced only when
// written whole; otherwise the user is told, the message beginning with
// failureText. True when the file was written.
bool SaveCsvFile(QWidget *parent, const QString &caption, const QString &suggestedPath,
                 const QList<QStringList> &rows, const QString &failureText);
// The same for any content, made once a path is chosen: asks where to save
// it (filter, e.g. "PNG resmi (*.png)"), adds the suffix to a name without
// one and writes it whole or not at all.
bool SaveFileContent(QWidget *parent, const QString &caption, const QString &suggestedPath, const QString &filter,
                     const QString &suffix, const std::function<QByteArray()> &content, const QString &failureText);

} // namespace velmor

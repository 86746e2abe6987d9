#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Standard input, output and error of the command-line client: data on
// standard output, Turkish messages and questions on standard error, and
// answers read from standard input when it is a terminal.
namespace velmor::cli {

// Writes to standard output as UTF-8.
void Output(const QByteArray &bytes);
void OutputLine(const QString &line);
// A message for the user on standard error, with a line break.
void Message(const QString &text);

// Whether standard input is a terminal, so that questions can be asked.
bool InputIsTerminal();
// Asks on the terminal and reads one line, without echoing it when asked
// (a password); nothing at the end of input.
std::optional<QString> AskLine(const QString &prompt, bool echo = true);
// "Evet" for "e", "evet", "y", "yes" in any case; anything else is "Hayır".
bool AskYesNo(const QString &question);

// The whole of standard input, at most limit bytes; nothing when it holds more.
std::optional<QByteArray> ReadStandardInput(qsizetype limit);

} // namespace velmor::cli

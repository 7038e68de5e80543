#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// The save-file and open-file dialogs, behind one door so a test can preset the chosen file.
class FileDialog {
public:
    // Empty when the user cancelled.
    static QString getSaveFileName(QWidget* parent, const QString& suggested, const QString& filter,
                                   const QString& defaultSuffix);
    // The file to open; empty when the user cancelled.
    static QString getOpenFileName(QWidget* parent, const QString& caption, const QString& filter);
    // With a choice of file types: chosen gets the index of the one the user took.
    static QString getSaveFileName(QWidget* parent, const QString& suggested,
                                   const QStringList& filters, const QString& defaultSuffix,
                                   int& chosen);
    // Empty text: the user cancels; filter: the index of the file type taken.
    static void setNextFileName(const QString& path, int filter = 0);
    // The file the last dialog offered, preset or not.
    static QString lastSuggested() { return s_suggested; }

private:
    static inline std::optional<QString> s_next;
    static inline int s_nextFilter = 0;
    static inline QString s_suggested;
};

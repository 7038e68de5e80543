#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// The save-file dialog, behind one door so a test can preset the chosen file.
class FileDialog {
public:
    // Empty when the user cancelled.
    static QString getSaveFileName(QWidget* parent, const QString& suggested, const QString& filter,
                                   const QString& defaultSuffix);
    // With a choice of file types: chosen gets the index of the one the user took.
    static QString getSaveFileName(QWidget* parent, const QString& suggested,
                                   const QStringList& filters, const QString& defaultSuffix,
                                   int& chosen);
    // Empty text: the user cancels; filter: the index of the file type taken.
    static void setNextFileName(const QString& path, int filter = 0);

private:
    static inline std::optional<QString> s_next;
    static inline int s_nextFilter = 0;
};

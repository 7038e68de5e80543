#pragma once

#include <QString>
#include <optional>

class QWidget;

// The save-file dialog, behind one door so a test can preset the chosen file.
class FileDialog {
public:
    // Empty when the user cancelled.
    static QString getSaveFileName(QWidget* parent, const QString& suggested, const QString& filter,
                                   const QString& defaultSuffix);
    static void setNextFileName(const QString& path);  // empty text: the user cancels
    // The file the last dialog offered, preset or not.
    static QString lastSuggested() { return s_suggested; }

private:
    static inline std::optional<QString> s_next;
    static inline QString s_suggested;
};

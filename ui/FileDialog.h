#pragma once

#include <QString>
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
    static void setNextFileName(const QString& path);  // empty text: the user cancels

private:
    static inline std::optional<QString> s_next;
};

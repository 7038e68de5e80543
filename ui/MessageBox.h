#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// The program's message boxes, behind one door so a test can answer them instead of a person:
// setNextAnswer() presets the answer of the next question, and while silent every text is
// recorded instead of shown.
class MessageBox {
public:
    // A plain message with the caption "Улмар" and an OK button.
    static void information(QWidget* parent, const QString& text);
    // A failure reported by the store or the file system.
    static void error(QWidget* parent, const QString& text);
    // A confirmation with a question icon and the buttons Yes and No; true for Yes.
    static bool question(QWidget* parent, const QString& text);

    // For tests: answer the next question(s) without showing them, and show nothing at all.
    static void setNextAnswer(bool yes);
    static void setSilent(bool silent);
    static QStringList shown();  // every text since the last clearShown(), while silent
    static void clearShown();

private:
    static void record(const QString& text);

    static inline std::optional<bool> s_nextAnswer;
    static inline bool s_silent = false;
    static inline QStringList s_shown;
};

#pragma once

#include <QString>
#include <stdexcept>

// The import can not go on: the source is not a catalogue, is damaged, or the target can not
// be written. The message is for the user, in Russian.
class ImportError : public std::runtime_error {
public:
    explicit ImportError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

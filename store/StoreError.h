#pragma once

#include <QString>
#include <stdexcept>

// A statement or the connection failed; what() carries the engine's own text.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// The file is no catalogue store of this program: missing, a folder, an Access file, or a
// database without the program's tables.
class NotACatalogue : public StoreError {
public:
    using StoreError::StoreError;
};

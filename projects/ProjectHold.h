#pragma once

#include <QString>
#include <optional>

class Database;

// On a server, a named project open in a window is held by that window's connection: another
// designer may read it, print and export it, but not change, rename, delete or reprice it. The
// hold is the server's advisory lock of the connection, so it ends with the connection however
// that ends, and a crashed or cut-off window never blocks the project. A store file has one
// window, and so no holds: every call here is a no-op on it.
namespace projectHold {

// Takes the hold for this connection; the sentence naming who holds the project when another
// connection does.
std::optional<QString> take(Database& db, int project);
void release(Database& db, int project);
// Within the caller's transaction: the sentence when another connection holds the project;
// otherwise it stays free of other windows until the transaction ends.
std::optional<QString> refusal(Database& db, int project);
// What a window that holds no hold of the project is told when it tries to change it.
QString readOnlySentence(Database& db, int project);

}  // namespace projectHold

// The sentence a designer is told about a project another one has open.
QString heldSentence(const QString& project, const QString& login, const QString& computer);

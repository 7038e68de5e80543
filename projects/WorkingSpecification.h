#pragma once

class Database;

// The working specification is project 0 to the window and the tools. In a file it is stored
// under key 0; on a server every designer's login has one of its own, stored under a negative
// key that no named project takes, so two designers never see or clear each other's lines.

// The key a project's lines, snapshot and properties are stored under: a named project's own,
// and for 0 the working specification's. On a server the first call for a login makes its
// working specification: call it outside a transaction, so that the key is kept whatever the
// caller's transaction does.
int storedProjectKey(Database& db, int project);

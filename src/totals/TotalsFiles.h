#pragma once
// Where the totals database lives, and the name a broken one is set aside under.

#include <cstdint>
#include <string>

// The settings file's path with its ".ini" replaced by ".db" (".db" appended when it has no
// ".ini"): corvala.ini -> corvala.db, in the same folder.
std::string DatabasePathFor(const std::string &iniPath);

// `path` with ".broken-YYYYMMDD-HHMMSS" of the local time `unixSeconds` appended.
std::string SetAsideName(const std::string &path, std::int64_t unixSeconds);

// Renames the database at `path` and its companions (-wal, -shm) to SetAsideName, with a
// number added when that name is taken. Non-zero when the database is out of the way.
int SetAsideDatabase(const std::string &path, std::int64_t unixSeconds);

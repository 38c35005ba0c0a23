#pragma once

#include <string>

// What a file named as a database holds, looked at byte by byte, without the engine: so a
// file the engine refuses can be told apart as damaged (worth a salvage) or as something
// that never was a database.
namespace db {

enum class FileKind {
    Missing,
    Folder,
    NotAFile,       // a device, a pipe, a socket
    Empty,          // no bytes at all
    Database,       // begins as every SQLite database does
    DatabasePages,  // its first bytes are lost, but its pages are SQLite's b-tree pages
    Other,
};

FileKind fileKindOf(const std::string& path);

}  // namespace db

// SQLite's locks on the registry files, held by SQLite's own open file descriptions: closing any other
// descriptor of those files in this process (a file dialog sniffing types, an editor opening them by name)
// must not drop them, as it would drop classic POSIX record locks.
#pragma once

namespace hw::store {

// Makes every database opened afterwards lock this way; the first call does the work. The window keeps one
// connection per database file: SQLite shares a file's locks among a process's connections, and with two
// the last to close could not take the file alone, leaving its log for the next user to fold in.
void UseDescriptionLocks();

} // namespace hw::store

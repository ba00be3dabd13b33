#include "store/sqlite/sqlite_file_locks.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstdarg>
#include <fcntl.h>

namespace hw::store {

namespace {

sqlite3_syscall_ptr systemFcntl = nullptr;

// The open-file-description twin of a record-lock command, or 0 for any other command.
int DescriptionCommand(int command) {
    switch (command) {
    case F_SETLK:
        return F_OFD_SETLK;
    case F_SETLKW:
        return F_OFD_SETLKW;
    case F_GETLK:
        return F_OFD_GETLK;
    default:
        return 0;
    }
}

// Record locks become open-file-description locks: they conflict with other processes' locks of either
// kind and end only when SQLite closes its own descriptor.
int DescriptionFcntl(int fd, int command, ...) {
    va_list arguments;
    va_start(arguments, command);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    auto fcntlCall = reinterpret_cast<int (*)(int, int, ...)>(systemFcntl);
    const int description = DescriptionCommand(command);
    if (description == 0) return fcntlCall(fd, command, argument);
    struct flock lock = *static_cast<struct flock*>(argument);
    lock.l_pid = 0;
    const int result = fcntlCall(fd, description, &lock);
    // A file system without such locks keeps the classic ones rather than none.
    if (result == -1 && errno == EINVAL) return fcntlCall(fd, command, argument);
    if (command == F_GETLK) *static_cast<struct flock*>(argument) = lock;
    return result;
}

} // namespace

void UseDescriptionLocks() {
    static const bool installed = [] {
        sqlite3_vfs* vfs = sqlite3_vfs_find("unix");
        if (!vfs || vfs->iVersion < 3 || !vfs->xGetSystemCall) return false;
        systemFcntl = vfs->xGetSystemCall(vfs, "fcntl");
        if (!systemFcntl) return false;
        return vfs->xSetSystemCall(vfs, "fcntl", reinterpret_cast<sqlite3_syscall_ptr>(&DescriptionFcntl)) ==
               SQLITE_OK;
    }();
    (void)installed;
}

} // namespace hw::store

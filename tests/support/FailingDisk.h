#pragma once

#include <sqlite3.h>
#include <cstdlib>
#include <cstring>

namespace testing {

// A disk that fails: an SQLite file layer, made the default, that passes everything to the
// real one until it is armed, then fails the Nth write or sync from that moment on (and every
// one after it, as a disk that has gone bad does).
class FailingDisk {
  public:
    static void install() {
        static bool installed = false;
        if (installed) {
            return;
        }
        real() = sqlite3_vfs_find(nullptr);
        static sqlite3_vfs vfs = *real();
        vfs.zName = "failing-disk";
        vfs.szOsFile = sizeof(File);
        vfs.xOpen = &open;
        sqlite3_vfs_register(&vfs, 1);
        installed = true;
    }
    // Fails the `nth` write or sync from now (1 is the next one); 0 disarms.
    static void failAt(int nth) {
        countdown() = nth;
        failureCount() = 0;
    }
    // How many writes or syncs failed since it was armed.
    static int failures() { return failureCount(); }

  private:
    struct File {
        sqlite3_file base;
        sqlite3_file* real;
        sqlite3_io_methods methods;
    };

    static sqlite3_vfs*& real() {
        static sqlite3_vfs* vfs = nullptr;
        return vfs;
    }
    static int& countdown() {
        static int left = 0;
        return left;
    }
    static int& failureCount() {
        static int count = 0;
        return count;
    }
    static bool failsNow() {
        int& left = countdown();
        if (left <= 0) {
            return false;
        }
        if (left > 1) {
            --left;
            return false;
        }
        ++failureCount();
        return true;  // stays at 1: every later write fails too
    }
    static sqlite3_file* inner(sqlite3_file* file) { return reinterpret_cast<File*>(file)->real; }

    static int open(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
        auto* wrapper = reinterpret_cast<File*>(file);
        wrapper->real =
            static_cast<sqlite3_file*>(std::calloc(1, static_cast<size_t>(real()->szOsFile)));
        const int rc = real()->xOpen(real(), name, wrapper->real, flags, outFlags);
        if (rc != SQLITE_OK || !wrapper->real->pMethods) {
            std::free(wrapper->real);
            wrapper->base.pMethods = nullptr;
            return rc;
        }
        wrapper->methods = *wrapper->real->pMethods;
        wrapper->methods.xClose = [](sqlite3_file* f) {
            sqlite3_file* r = inner(f);
            const int result = r->pMethods->xClose(r);
            std::free(r);
            return result;
        };
        wrapper->methods.xRead = [](sqlite3_file* f, void* buffer, int amount,
                                    sqlite3_int64 offset) {
            return inner(f)->pMethods->xRead(inner(f), buffer, amount, offset);
        };
        wrapper->methods.xWrite = [](sqlite3_file* f, const void* buffer, int amount,
                                     sqlite3_int64 offset) {
            return failsNow() ? SQLITE_IOERR_WRITE
                              : inner(f)->pMethods->xWrite(inner(f), buffer, amount, offset);
        };
        wrapper->methods.xTruncate = [](sqlite3_file* f, sqlite3_int64 size) {
            return inner(f)->pMethods->xTruncate(inner(f), size);
        };
        wrapper->methods.xSync = [](sqlite3_file* f, int flags) {
            return failsNow() ? SQLITE_IOERR_FSYNC : inner(f)->pMethods->xSync(inner(f), flags);
        };
        wrapper->methods.xFileSize = [](sqlite3_file* f, sqlite3_int64* size) {
            return inner(f)->pMethods->xFileSize(inner(f), size);
        };
        wrapper->methods.xLock = [](sqlite3_file* f, int level) {
            return inner(f)->pMethods->xLock(inner(f), level);
        };
        wrapper->methods.xUnlock = [](sqlite3_file* f, int level) {
            return inner(f)->pMethods->xUnlock(inner(f), level);
        };
        wrapper->methods.xCheckReservedLock = [](sqlite3_file* f, int* out) {
            return inner(f)->pMethods->xCheckReservedLock(inner(f), out);
        };
        wrapper->methods.xFileControl = [](sqlite3_file* f, int op, void* arg) {
            return inner(f)->pMethods->xFileControl(inner(f), op, arg);
        };
        wrapper->methods.xSectorSize = [](sqlite3_file* f) {
            return inner(f)->pMethods->xSectorSize(inner(f));
        };
        wrapper->methods.xDeviceCharacteristics = [](sqlite3_file* f) {
            return inner(f)->pMethods->xDeviceCharacteristics(inner(f));
        };
        wrapper->methods.iVersion = 1;  // no shared memory or mapping: a rollback journal only
        wrapper->base.pMethods = &wrapper->methods;
        return SQLITE_OK;
    }
};

}  // namespace testing

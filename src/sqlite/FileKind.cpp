#include "sqlite/FileKind.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdint>
#include <cstring>
#include <vector>

namespace db {
namespace {

constexpr char Magic[] = "SQLite format 3";  // with its zero byte, the first 16 bytes
constexpr int PagesLookedAt = 64;

std::uint32_t twoBytes(const unsigned char* at) {
    return std::uint32_t(at[0]) << 8 | at[1];
}

// A b-tree page's header as the engine writes it: a known type, and offsets that fit in a
// page of `size` bytes. Freelist and overflow pages do not pass; most pages of a file do.
bool looksLikeBtreePage(const unsigned char* page, std::uint32_t size) {
    const unsigned char type = page[0];
    if (type != 2 && type != 5 && type != 10 && type != 13) {
        return false;
    }
    const std::uint32_t header = type == 2 || type == 5 ? 12 : 8;
    const std::uint32_t freeblock = twoBytes(page + 1), cells = twoBytes(page + 3);
    const std::uint32_t content = twoBytes(page + 5) == 0 ? 65536 : twoBytes(page + 5);
    return freeblock < size && content <= size && header + 2 * cells <= content && page[7] <= 60;
}

// Whether pages of `size` bytes spread over the file mostly look like b-tree pages (the
// first page is left out: its header is what may be lost).
bool holdsPagesOf(int fd, std::uint32_t size, off_t length) {
    const off_t pages = length / size;
    if (pages < 2 || length % size != 0) {
        return false;
    }
    const off_t looked = std::min<off_t>(pages - 1, PagesLookedAt);
    std::vector<unsigned char> page(12);
    int passed = 0;
    for (off_t i = 0; i < looked; ++i) {
        const off_t number = 1 + i * (pages - 1) / looked;  // 0-based, never the first
        if (::pread(fd, page.data(), page.size(), number * size) != off_t(page.size())) {
            return false;
        }
        passed += looksLikeBtreePage(page.data(), size) ? 1 : 0;
    }
    return passed * 5 >= looked * 3;  // three in five: a page size twice too small finds half
}

}  // namespace

FileKind fileKindOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return FileKind::Missing;
    }
    if (S_ISDIR(status.st_mode)) {
        return FileKind::Folder;
    }
    if (!S_ISREG(status.st_mode)) {
        return FileKind::NotAFile;
    }
    if (status.st_size == 0) {
        return FileKind::Empty;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return FileKind::Other;  // opening says why
    }
    char start[sizeof Magic] = {};
    FileKind kind = FileKind::Other;
    if (::pread(fd, start, sizeof start, 0) == off_t(sizeof start) &&
        std::memcmp(start, Magic, sizeof start) == 0) {
        kind = FileKind::Database;
    } else {
        for (std::uint32_t size = 512; size <= 65536 && kind == FileKind::Other; size *= 2) {
            if (holdsPagesOf(fd, size, status.st_size)) {
                kind = FileKind::DatabasePages;
            }
        }
    }
    ::close(fd);
    return kind;
}

}  // namespace db

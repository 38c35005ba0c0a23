/*
 * A read-only eponymous virtual table sqlite_dbpage(pgno, data, schema HIDDEN) that hands out
 * the raw pages of a database file, for SQLite builds that leave their own out. The recovery
 * of the sqlite3 command-line tool reads damaged catalogues through it.
 *
 * Pages come straight from the file through the connection's file handle, not through the
 * pager: a file whose header or structure is damaged can still be read page by page.
 */
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

#include <string.h>

enum { ColumnPgno = 0, ColumnData = 1, ColumnSchema = 2 };
enum { UsesPgno = 1, UsesSchema = 2 };

typedef struct PageCursor {
    sqlite3_vtab_cursor base;
    sqlite3_file* file;
    sqlite3_int64 pgno;
    sqlite3_int64 last;
    int pageSize;
} PageCursor;

typedef struct PageTable {
    sqlite3_vtab base;
    sqlite3* db;
} PageTable;

static int pageConnect(sqlite3* db, void* aux, int argc, const char* const* argv,
                       sqlite3_vtab** vtab, char** error) {
    (void)aux, (void)argc, (void)argv, (void)error;
    int rc = sqlite3_declare_vtab(db,
                                  "CREATE TABLE x(pgno INTEGER PRIMARY KEY, data BLOB, "
                                  "schema HIDDEN)");
    if (rc != SQLITE_OK) {
        return rc;
    }
    PageTable* table = sqlite3_malloc(sizeof *table);
    if (!table) {
        return SQLITE_NOMEM;
    }
    memset(table, 0, sizeof *table);
    table->db = db;
    *vtab = &table->base;
    return SQLITE_OK;
}

static int pageDisconnect(sqlite3_vtab* vtab) {
    sqlite3_free(vtab);
    return SQLITE_OK;
}

/* Equality on pgno picks one page; equality on schema picks the database (else "main"). */
static int pageBestIndex(sqlite3_vtab* vtab, sqlite3_index_info* info) {
    (void)vtab;
    int pgno = -1, schema = -1;
    for (int i = 0; i < info->nConstraint; ++i) {
        const struct sqlite3_index_constraint* c = &info->aConstraint[i];
        if (c->op != SQLITE_INDEX_CONSTRAINT_EQ) {
            continue;
        }
        if (c->iColumn == ColumnSchema) {
            if (!c->usable) {
                return SQLITE_CONSTRAINT; /* a plan where the schema is known is needed */
            }
            schema = i;
        } else if (c->iColumn == ColumnPgno && c->usable) {
            pgno = i;
        }
    }
    int argument = 0;
    info->idxNum = 0;
    if (schema >= 0) {
        info->aConstraintUsage[schema].argvIndex = ++argument;
        info->aConstraintUsage[schema].omit = 1;
        info->idxNum |= UsesSchema;
    }
    if (pgno >= 0) {
        info->aConstraintUsage[pgno].argvIndex = ++argument;
        info->aConstraintUsage[pgno].omit = 1;
        info->idxNum |= UsesPgno;
        info->estimatedCost = 1.0;
        info->estimatedRows = 1;
        info->idxFlags = SQLITE_INDEX_SCAN_UNIQUE;
    } else {
        info->estimatedCost = 1000000.0;
    }
    if (info->nOrderBy == 1 && info->aOrderBy[0].iColumn == ColumnPgno && !info->aOrderBy[0].desc) {
        info->orderByConsumed = 1;
    }
    return SQLITE_OK;
}

static int pageOpen(sqlite3_vtab* vtab, sqlite3_vtab_cursor** cursor) {
    (void)vtab;
    PageCursor* c = sqlite3_malloc(sizeof *c);
    if (!c) {
        return SQLITE_NOMEM;
    }
    memset(c, 0, sizeof *c);
    *cursor = &c->base;
    return SQLITE_OK;
}

static int pageClose(sqlite3_vtab_cursor* cursor) {
    sqlite3_free(cursor);
    return SQLITE_OK;
}

/* The page size the header claims; a value no database could have reads as 4096. */
static int headerPageSize(sqlite3_file* file) {
    unsigned char bytes[2];
    if (file->pMethods->xRead(file, bytes, 2, 16) != SQLITE_OK) {
        return 4096;
    }
    const int size = (bytes[0] << 8) | bytes[1];
    if (size == 1) {
        return 65536;
    }
    if (size < 512 || size > 32768 || (size & (size - 1)) != 0) {
        return 4096;
    }
    return size;
}

static int pageFilter(sqlite3_vtab_cursor* cursor, int idxNum, const char* idxStr, int argc,
                      sqlite3_value** argv) {
    (void)idxStr, (void)argc;
    PageCursor* c = (PageCursor*)cursor;
    PageTable* table = (PageTable*)cursor->pVtab;
    int argument = 0;
    const char* schema = "main";
    if (idxNum & UsesSchema) {
        const char* given = (const char*)sqlite3_value_text(argv[argument++]);
        if (given) {
            schema = given;
        }
    }
    c->file = 0;
    if (sqlite3_file_control(table->db, schema, SQLITE_FCNTL_FILE_POINTER, &c->file) != SQLITE_OK ||
        !c->file || !c->file->pMethods) {
        sqlite3_free(table->base.zErrMsg);
        table->base.zErrMsg = sqlite3_mprintf("no such schema: %s", schema);
        return SQLITE_ERROR;
    }
    c->pageSize = headerPageSize(c->file);
    sqlite3_int64 size = 0;
    if (c->file->pMethods->xFileSize(c->file, &size) != SQLITE_OK) {
        return SQLITE_IOERR;
    }
    const sqlite3_int64 count = size / c->pageSize;
    c->pgno = 1;
    c->last = count;
    if (idxNum & UsesPgno) {
        const sqlite3_int64 wanted = sqlite3_value_int64(argv[argument]);
        c->pgno = wanted;
        c->last = wanted >= 1 && wanted <= count ? wanted : 0;
    }
    return SQLITE_OK;
}

static int pageNext(sqlite3_vtab_cursor* cursor) {
    ((PageCursor*)cursor)->pgno++;
    return SQLITE_OK;
}

static int pageEof(sqlite3_vtab_cursor* cursor) {
    const PageCursor* c = (const PageCursor*)cursor;
    return c->pgno < 1 || c->pgno > c->last;
}

static int pageColumn(sqlite3_vtab_cursor* cursor, sqlite3_context* context, int column) {
    PageCursor* c = (PageCursor*)cursor;
    if (column == ColumnPgno) {
        sqlite3_result_int64(context, c->pgno);
        return SQLITE_OK;
    }
    if (column == ColumnSchema) {
        sqlite3_result_null(context);
        return SQLITE_OK;
    }
    void* page = sqlite3_malloc(c->pageSize);
    if (!page) {
        return SQLITE_NOMEM;
    }
    const int rc = c->file->pMethods->xRead(c->file, page, c->pageSize,
                                            (c->pgno - 1) * (sqlite3_int64)c->pageSize);
    if (rc != SQLITE_OK && rc != SQLITE_IOERR_SHORT_READ) {
        sqlite3_free(page);
        return rc;
    }
    sqlite3_result_blob(context, page, c->pageSize, sqlite3_free);
    return SQLITE_OK;
}

static int pageRowid(sqlite3_vtab_cursor* cursor, sqlite3_int64* rowid) {
    *rowid = ((PageCursor*)cursor)->pgno;
    return SQLITE_OK;
}

static sqlite3_module PageModule = {
    .iVersion = 0,
    .xCreate = 0, /* eponymous only */
    .xConnect = pageConnect,
    .xBestIndex = pageBestIndex,
    .xDisconnect = pageDisconnect,
    .xDestroy = pageDisconnect,
    .xOpen = pageOpen,
    .xClose = pageClose,
    .xFilter = pageFilter,
    .xNext = pageNext,
    .xEof = pageEof,
    .xColumn = pageColumn,
    .xRowid = pageRowid,
};

int sqlite3_extension_init(sqlite3* db, char** error, const sqlite3_api_routines* api) {
    (void)error;
    SQLITE_EXTENSION_INIT2(api);
    return sqlite3_create_module(db, "sqlite_dbpage", &PageModule, 0);
}

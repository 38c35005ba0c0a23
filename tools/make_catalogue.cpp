// Build-time tool: writes the catalogue file that ships beside the program.
//   make_catalogue OUTPUT.mdb [--empty]
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "catalogue/Catalogue.h"
#include "sqlite/DbError.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT [--empty]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path target = argv[1];
    const bool withSample = !(argc > 2 && std::strcmp(argv[2], "--empty") == 0);
    // Write beside the target and move it into place, so a failed run leaves no half file.
    const std::filesystem::path partial = target.string() + ".partial";
    try {
        db::catalogue::makeCatalogue(partial.string(), withSample);
        std::filesystem::rename(partial, target);
    } catch (const db::DbError& e) {
        std::fprintf(stderr, "make_catalogue: %s\n", e.description.c_str());
        return 1;
    } catch (const std::filesystem::filesystem_error& e) {
        std::fprintf(stderr, "make_catalogue: %s\n", e.what());
        return 1;
    }
    return 0;
}

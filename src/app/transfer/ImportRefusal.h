#pragma once

#include "app/transfer/RecordImport.h"
#include "csv/CsvReader.h"

namespace app {

// A malformed line of the file, said as the import's refusal.
inline ImportRefused refusal(const csv::Malformed& fault) {
    return {fault.line, QString::fromUtf8(fault.what())};
}

}  // namespace app

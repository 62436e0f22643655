#include "db/SkipOnError.h"

namespace korvana::db {

void SkipOnError::recordSkip(std::string_view what, std::string_view reason) {
    ++skipped_;
    std::string line = context_;
    line += ": skipped ";
    line += what;
    line += ": ";
    line += reason;
    log_.write(line);
}

} // namespace korvana::db

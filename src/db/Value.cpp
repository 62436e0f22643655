#include "db/Value.h"

#include <cstdio>

namespace korvana::db {

std::string describeValue(const Value& value) {
    struct Describe {
        std::string operator()(std::monostate) const { return "Null"; }
        std::string operator()(bool b) const { return b ? "True" : "False"; }
        std::string operator()(std::int64_t i) const { return std::to_string(i); }
        std::string operator()(double d) const {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%.17g", d);
            return buffer;
        }
        std::string operator()(const std::string& s) const { return "'" + s + "'"; }
        std::string operator()(const Bytes& b) const {
            return "<" + std::to_string(b.size()) + " bytes>";
        }
        std::string operator()(const DateTime& d) const { return "#" + d.text + "#"; }
    };
    return std::visit(Describe{}, value);
}

} // namespace korvana::db

#include "db/JetSchemaView.h"

namespace korvana::db {

std::optional<jet::TableInfo> JetSchemaView::table(std::string_view name) const {
    if (!catalogue_.storedTableName(name)) {
        return std::nullopt;
    }
    return describe(catalogue_.load(name));
}

jet::TableInfo JetSchemaView::describe(const TableDef& definition) {
    jet::TableInfo info{definition.name, {}};
    for (const auto& field : definition.fields) {
        info.columns.push_back({field.name, daoTypeNumber(field.type)});
    }
    return info;
}

void bindJetParameters(sqlite::Statement& statement, const std::vector<jet::SqlValue>& parameters) {
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const int index = static_cast<int>(i + 1);
        std::visit(
            [&](const auto& value) {
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, std::monostate>) {
                    statement.bindNull(index);
                } else if constexpr (std::is_same_v<T, std::string>) {
                    statement.bind(index, std::string_view(value));
                } else {
                    statement.bind(index, value);
                }
            },
            parameters[i]);
    }
}

} // namespace korvana::db

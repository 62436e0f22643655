#include "db/FieldDef.h"

#include "platform/TextUtil.h"

namespace korvana::db {

const Property* FieldDef::findProperty(std::string_view propertyName) const {
    for (const auto& property : properties) {
        if (equalsIgnoreCase(property.name, propertyName)) {
            return &property;
        }
    }
    return nullptr;
}

Property* FieldDef::findProperty(std::string_view propertyName) {
    const auto* found = static_cast<const FieldDef*>(this)->findProperty(propertyName);
    return const_cast<Property*>(found);
}

} // namespace korvana::db

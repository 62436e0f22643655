#include "IdeLayout.h"

#include "ide/BinaryValue.h"
#include "ide/IdeKeys.h"
#include "platform/Registry.h"

namespace korvana::standin {

namespace {

// The layout of an IDE that never ran: explorer on the left, nothing moved.
const Bytes startingDock{static_cast<std::uint8_t>(ExplorerPlace::Left), 0, 0, 0, 0, 0, 0, 0};
const Bytes startingUi{0, 0, 0, 0};

Bytes orStarting(const std::optional<Bytes>& value, const Bytes& starting) {
    return value && !value->empty() ? *value : starting;
}

} // namespace

IdeLayout IdeLayout::read(const Registry& registry, int version) {
    const std::string key = ide::visualBasicUserKey(version);
    return {ide::readBinaryValue(registry, key, ide::keys::dockValue),
            ide::readBinaryValue(registry, key, ide::keys::uiValue)};
}

void IdeLayout::moveProjectExplorer(ExplorerPlace place) {
    Bytes newDock = orStarting(dock, startingDock);
    newDock.front() = static_cast<std::uint8_t>(place);
    Bytes newUi = orStarting(ui, startingUi);
    newUi.front() = static_cast<std::uint8_t>(newUi.front() + 1);
    dock = std::move(newDock);
    ui = std::move(newUi);
}

IdeLayout IdeLayout::completed() const {
    return {dock ? *dock : startingDock, ui ? *ui : startingUi};
}

void IdeLayout::write(Registry& registry, int version) const {
    const std::string key = ide::visualBasicUserKey(version);
    if (dock) {
        registry.writeBinary(Hive::CurrentUser, key, ide::keys::dockValue, *dock);
    }
    if (ui) {
        registry.writeBinary(Hive::CurrentUser, key, ide::keys::uiValue, *ui);
    }
}

} // namespace korvana::standin

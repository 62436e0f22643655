#include "dialogs/LocalizeForm.h"

#include "dialogs/QtText.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVariantList>
#include <algorithm>
#include <optional>
#include <vector>

namespace korvana::dialogs {

namespace {

std::optional<TextId> parseTag(const QVariant& tag) {
    if (!tag.isValid()) {
        return std::nullopt;
    }
    bool ok = false;
    const int number = tag.toString().trimmed().toInt(&ok);
    if (!ok) {
        return std::nullopt;
    }
    return TextId{number};
}

std::optional<QString> taggedText(const QObject& object, const TextService& texts) {
    if (const auto id = parseTag(object.property(tagProperty))) {
        return qtText(texts.LoadText(*id));
    }
    return std::nullopt;
}

// The texts of a "tags" list, one per position; nothing where the entry is empty.
std::vector<std::optional<QString>> taggedTexts(const QWidget& widget, const TextService& texts) {
    std::vector<std::optional<QString>> result;
    for (const QVariant& entry : widget.property(tagsProperty).toList()) {
        const auto id = parseTag(entry);
        result.push_back(id ? std::optional(qtText(texts.LoadText(*id))) : std::nullopt);
    }
    return result;
}

void localizeCaption(QWidget& widget, const QString& text) {
    if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(&widget)) {
        label->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(&widget)) {
        group->setTitle(text);
    }
}

void localizeHeadersAndTabs(QWidget& widget, const TextService& texts) {
    const auto list = taggedTexts(widget, texts);
    if (list.empty()) {
        return;
    }
    if (auto* tree = qobject_cast<QTreeWidget*>(&widget)) {
        const auto columns = std::min<std::size_t>(list.size(), tree->columnCount());
        for (std::size_t column = 0; column < columns; ++column) {
            if (list[column]) {
                tree->headerItem()->setText(static_cast<int>(column), *list[column]);
            }
        }
    } else if (auto* table = qobject_cast<QTableWidget*>(&widget)) {
        const auto columns = std::min<std::size_t>(list.size(), table->columnCount());
        for (std::size_t column = 0; column < columns; ++column) {
            if (!list[column]) {
                continue;
            }
            const int index = static_cast<int>(column);
            if (QTableWidgetItem* item = table->horizontalHeaderItem(index)) {
                item->setText(*list[column]);
            } else {
                table->setHorizontalHeaderItem(index, new QTableWidgetItem(*list[column]));
            }
        }
    } else if (auto* tabs = qobject_cast<QTabWidget*>(&widget)) {
        const auto count = std::min<std::size_t>(list.size(), tabs->count());
        for (std::size_t tab = 0; tab < count; ++tab) {
            if (list[tab]) {
                tabs->setTabText(static_cast<int>(tab), *list[tab]);
            }
        }
    }
}

} // namespace

void LocalizeForm(QWidget& form, const TextService& texts) {
    if (const auto title = taggedText(form, texts)) {
        form.setWindowTitle(*title);
    }
    for (QWidget* child : form.findChildren<QWidget*>()) {
        if (const auto caption = taggedText(*child, texts)) {
            localizeCaption(*child, *caption);
        }
        localizeHeadersAndTabs(*child, texts);
    }
    for (QAction* action : form.findChildren<QAction*>()) {
        if (const auto caption = taggedText(*action, texts)) {
            action->setText(*caption);
        }
    }
}

void setTag(QObject& object, TextId id) {
    object.setProperty(tagProperty, id.value);
}

void setTags(QWidget& widget, std::initializer_list<int> ids) {
    QVariantList list;
    for (const int id : ids) {
        list.append(id == 0 ? QVariant(QString()) : QVariant(id));
    }
    widget.setProperty(tagsProperty, list);
}

} // namespace korvana::dialogs

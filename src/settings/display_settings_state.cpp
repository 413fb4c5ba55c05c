#include "settings/display_settings_state.h"

#include "site/category_table.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"

namespace pelloran {

namespace {

QLatin1StringView orderKey(ListingKind kind) {
    return kind == ListingKind::Browse ? keys::orderBy : keys::searchOrderBy;
}
QLatin1StringView sortKey(ListingKind kind) {
    return kind == ListingKind::Browse ? keys::sortBy : keys::searchSortBy;
}
QLatin1StringView categoriesKey(ListingKind kind) {
    return kind == ListingKind::Browse ? keys::categories : keys::searchCategories;
}

}  // namespace

DisplaySettingsState::DisplaySettingsState(SettingsStore& store, ListingKind kind)
    : store_(store), kind_(kind) {
    load(true);
}

void DisplaySettingsState::reload() {
    load(false);
}

void DisplaySettingsState::load(bool first) {
    store_.refresh();
    order_ = restore(orderKey(kind_), true);
    sort_ = restore(sortKey(kind_), false);
    const std::optional<QString> stored = store_.string(categoriesKey(kind_));
    if (stored && !stored->isEmpty()) {
        on_ = categoryIdsFromSetting(*stored);  // writes nothing
    } else if (kind_ == ListingKind::Search && (first || !stored)) {
        // Searches cover every category until the member narrows them.
        on_.clear();
        for (const Category& c : categoryTable()) {
            if (!c.isHeader()) {
                on_.append(c.id);
            }
        }
        storeCategories();
    } else {
        on_.clear();  // every switch turned off
    }
}

std::optional<int> DisplaySettingsState::restore(QLatin1StringView key, bool isOrder) const {
    const std::optional<QString> stored = store_.string(key);
    if (!stored || stored->isEmpty()) {
        return 0;
    }
    const QList<ListingOption>& options = isOrder ? orderOptions() : sortOptions();
    for (int i = 0; i < options.size(); ++i) {
        if (options[i].value == *stored) {
            return i;
        }
    }
    return std::nullopt;
}

void DisplaySettingsState::chooseOrder(int index) {
    if (index < 0 || index >= orderOptions().size()) {
        return;
    }
    order_ = index;
    store_.setValue(orderKey(kind_), orderOptions()[index].value);
    store_.flush();
}

void DisplaySettingsState::chooseSort(int index) {
    if (index < 0 || index >= sortOptions().size()) {
        return;
    }
    sort_ = index;
    store_.setValue(sortKey(kind_), sortOptions()[index].value);
    store_.flush();
}

void DisplaySettingsState::setCategory(int categoryId, bool on) {
    // One switch changes: the others stay as stored now, whoever stored them.
    reload();
    if (on && !on_.contains(categoryId)) {
        on_.append(categoryId);
    } else if (!on) {
        on_.removeAll(categoryId);
    }
    storeCategories();
}

void DisplaySettingsState::storeCategories() {
    // In table order, whatever order the switches were turned on in; "" when none is on.
    store_.setValue(categoriesKey(kind_), categoriesSetting(on_));
    store_.flush();
}

}  // namespace pelloran

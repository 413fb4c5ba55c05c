#pragma once
// What the browse or search display settings screen shows and stores: the listing order, the
// sort direction and the categories switched on. Read again each time the screen appears, as
// another program may have changed them; a choice writes only its own key, flushed at once (a
// switch re-reads the stored categories first, so only its own category changes).
//
// The search settings switch every category on when first made while their categories key is
// absent or "" (and store the full list); the browse settings start with every switch off.
// UI thread only.

#include "site/site_urls.h"

#include <QList>
#include <QString>
#include <optional>

namespace pelloran {

class SettingsStore;

class DisplaySettingsState {
public:
    DisplaySettingsState(SettingsStore& store, ListingKind kind);

    ListingKind kind() const { return kind_; }
    // Index into orderOptions() / sortOptions(); absent when the stored value matches none.
    std::optional<int> orderIndex() const { return order_; }
    std::optional<int> sortIndex() const { return sort_; }
    bool isOn(int categoryId) const { return on_.contains(categoryId); }
    QList<int> categoriesOn() const { return on_; }

    // Reads the stored choices again (writes the full search list only when its key is absent).
    void reload();

    // The member's choices: each writes its key and flushes.
    void chooseOrder(int index);
    void chooseSort(int index);
    void setCategory(int categoryId, bool on);

private:
    void load(bool first);
    std::optional<int> restore(QLatin1StringView key, bool isOrder) const;
    void storeCategories();

    SettingsStore& store_;
    ListingKind kind_;
    std::optional<int> order_;
    std::optional<int> sort_;
    QList<int> on_;
};

}  // namespace pelloran

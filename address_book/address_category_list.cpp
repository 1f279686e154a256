#include "address_book/address_category_list.h"

namespace tavolex {

LoadStatus AddressCategoryList::Add(const AddressCategory& category) {
    if (count_ >= kMaxCategories) return kStatusCategoryListFull;
    if (FindId(category.id) != nullptr) return kStatusDuplicateCategoryId;
    int slot = category.index;
    if (slot < 0 || slot >= kMaxCategories || slots_[slot]) {
        slot = 0;
        while (slots_[slot]) ++slot;  // a free slot exists: fewer than 16 are held
    }
    slots_[slot] = category;
    ++count_;
    return kStatusOk;
}

const AddressCategory* AddressCategoryList::Slot(int slot) const {
    if (slot < 0 || slot >= kMaxCategories || !slots_[slot]) return nullptr;
    return &*slots_[slot];
}

const AddressCategory* AddressCategoryList::FindId(std::int32_t id) const {
    for (const std::optional<AddressCategory>& category : slots_) {
        if (category && category->id == id) return &*category;
    }
    return nullptr;
}

}  // namespace tavolex

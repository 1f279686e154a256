#pragma once
// The category list of an address book file: up to 16 categories in slots by their index, each id
// at most once. The book reads it so that the file can be walked; nothing else uses it.

#include "base/status.h"

#include <array>
#include <cstdint>
#include <optional>

namespace tavolex {

inline constexpr LoadStatus kStatusCategoryListFull = -2000;
inline constexpr LoadStatus kStatusDuplicateCategoryId = -2002;

struct AddressCategory {
    std::int32_t index = 0;
    std::int32_t id = 0;
    bool dirty = false;
    char szShortName[16] = {};
    char szLongName[256] = {};
};

class AddressCategoryList {
public:
    static constexpr int kMaxCategories = 16;

    // Puts category in the slot of its index. An index outside 0 ... 15, or one whose slot is
    // taken, gets the first free slot instead (the category keeps its index as read).
    // kStatusCategoryListFull when 16 are held, kStatusDuplicateCategoryId when the id is held.
    [[nodiscard]] LoadStatus Add(const AddressCategory& category);

    [[nodiscard]] int Count() const { return count_; }
    // The category in slot (0 ... 15), or null for an empty slot or one outside the list.
    [[nodiscard]] const AddressCategory* Slot(int slot) const;
    [[nodiscard]] const AddressCategory* FindId(std::int32_t id) const;

    [[nodiscard]] std::int32_t NextFreeId() const { return nextFreeId_; }
    void SetNextFreeId(std::int32_t id) { nextFreeId_ = id; }

private:
    std::array<std::optional<AddressCategory>, kMaxCategories> slots_;
    int count_ = 0;
    std::int32_t nextFreeId_ = 0;
};

}  // namespace tavolex

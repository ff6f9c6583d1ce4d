#include "memory_sort.h"

#include <algorithm>
#include <type_traits>

#include "ui_text.h"

namespace {

// Number of fields up to and including the last one in use.
template <class T, std::size_t N>
std::size_t Used_Count(const std::array<T, N>& fields) {
    std::size_t used = N;
    if constexpr (std::is_same_v<T, std::wstring>) {
        while (used > 0 && fields[used - 1].empty()) --used;
    } else {
        while (used > 0 && fields[used - 1] == T{}) --used;
    }
    return used;
}

}  // namespace

void Memory_Sort::Sort_Init() {
    store_.clear();
    out_.clear();
    sort_max_ = -1;
    key_width_ = 0;
}

void Memory_Sort::Sort_Record_Clear() {
    // clear() keeps each text's storage for the next record; most fields are empty already.
    for (std::wstring& k : Sort_Key) k.clear();
    for (std::wstring& t : Sort_Str) t.clear();
    Sort_Cy.fill({});
    Sort_Int.fill(0);
}

void Memory_Sort::Sort_Record_Store() {
    Sort_Record r;
    const std::size_t keys = Used_Count(Sort_Key);
    const std::size_t texts = Used_Count(Sort_Str);
    r.texts_.reserve(keys + texts);
    r.texts_.assign(Sort_Key.begin(), Sort_Key.begin() + static_cast<std::ptrdiff_t>(keys));
    r.texts_.insert(r.texts_.end(), Sort_Str.begin(), Sort_Str.begin() + static_cast<std::ptrdiff_t>(texts));
    r.key_count_ = static_cast<int>(keys);
    const std::size_t numbers = Used_Count(Sort_Cy);
    const std::size_t integers = Used_Count(Sort_Int);
    if (numbers + integers > 0) {
        r.numbers_ = std::make_unique<Sort_Record::Numbers>();
        r.numbers_->Cy.assign(Sort_Cy.begin(), Sort_Cy.begin() + static_cast<std::ptrdiff_t>(numbers));
        r.numbers_->Int.assign(Sort_Int.begin(), Sort_Int.begin() + static_cast<std::ptrdiff_t>(integers));
    }
    if (keys > 0) key_width_ = std::max(key_width_, static_cast<int>(keys) - 1);
    store_.push_back(std::move(r));
    sort_max_ = static_cast<std::int32_t>(store_.size()) - 1;
}

bool Memory_Sort::Less(const Sort_Record& a, const Sort_Record& b) const {
    for (int k = 0; k <= key_width_; ++k) {
        const int c = a.Key(k).compare(b.Key(k));
        if (c != 0) return c < 0;
    }
    return false;
}

std::wstring Memory_Sort::Sort_Execute() {
    if (store_.empty()) return {};
    std::vector<Sort_Record> records = std::move(store_);
    store_.clear();
    const std::int64_t stored = static_cast<std::int64_t>(records.size());
    std::stable_sort(records.begin(), records.end(),
                     [this](const Sort_Record& a, const Sort_Record& b) { return Less(a, b); });
    out_ = std::move(records);
    sort_max_ = static_cast<std::int32_t>(out_.size()) - 1;
    if (static_cast<std::int64_t>(out_.size()) != stored) return Sort_Count_Message(stored, out_.size());
    return {};
}

void Memory_Sort::Sort_Erase() { out_.clear(); }

const std::wstring& Memory_Sort::Sort_Keys_Out(std::int32_t position, int key) const {
    return Sort_Records_Out(position).Key(key);
}

const Sort_Record& Memory_Sort::Sort_Records_Out(std::int32_t position) const {
    static const Sort_Record empty;
    if (position < 0 || static_cast<std::size_t>(position) >= out_.size()) return empty;
    return out_[static_cast<std::size_t>(position)];
}

std::wstring Sort_Count_Message(std::int64_t stored, std::int64_t delivered) {
    return Ui_Format(Text_Id::Sort_Count_Mismatch, {std::to_wstring(stored), std::to_wstring(delivered)});
}

#pragma once
// In-memory sort of records with up to ten text keys and a payload of numbers, texts and small
// integers. A caller fills the input buffer, stores record after record, executes the sort and reads
// the records back in ascending key order:
//
//   Memory_Sort s;  s.Sort_Init();
//   for (...) { s.Sort_Record_Clear(); s.Sort_Key[0] = name; s.Sort_Str[0] = path; s.Sort_Record_Store(); }
//   s.Sort_Execute();
//   for (int i = 0; i <= s.Sort_Max(); ++i) use(s.Sort_Keys_Out(i, 0), s.Sort_Records_Out(i).Str(0));
//   s.Sort_Erase();
//
// Keys compare as UTF-16 code units, key 0 first, then key 1, and so on (B < a < b; ab < abc < abd).
// Records with equal keys come out in the order they were stored.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fixed4.h"

// One stored record. Only the fields up to the last one in use are kept; the rest read as empty or 0.
// Keys and texts share one vector, and the numbers, which most callers leave unused, sit apart: a
// record is small to move while it is sorted.
class Sort_Record {
public:
    const std::wstring& Key(int k) const { return k >= 0 && k < key_count_ ? texts_[k] : Empty(); }
    Fixed4 Cy(int i) const { return numbers_ ? At(numbers_->Cy, i) : Fixed4{}; }
    const std::wstring& Str(int i) const {
        return i >= 0 && static_cast<std::size_t>(i) + key_count_ < texts_.size() ? texts_[key_count_ + i] : Empty();
    }
    std::int16_t Int(int i) const { return numbers_ ? At(numbers_->Int, i) : std::int16_t{0}; }

private:
    friend class Memory_Sort;
    struct Numbers {
        std::vector<Fixed4> Cy;
        std::vector<std::int16_t> Int;
    };
    static const std::wstring& Empty() {
        static const std::wstring empty;
        return empty;
    }
    template <class T>
    static T At(const std::vector<T>& v, int i) {
        return i >= 0 && static_cast<std::size_t>(i) < v.size() ? v[static_cast<std::size_t>(i)] : T{};
    }
    std::vector<std::wstring> texts_;  // keys 0 to key_count_ - 1, then the payload texts
    std::unique_ptr<Numbers> numbers_;
    int key_count_ = 0;
};

class Memory_Sort {
public:
    static constexpr int Key_Count = 10;
    static constexpr int Field_Count = 71;

    // The input buffer, filled by the caller before each Sort_Record_Store.
    std::array<std::wstring, Key_Count> Sort_Key;
    std::array<Fixed4, Field_Count> Sort_Cy;
    std::array<std::wstring, Field_Count> Sort_Str;
    std::array<std::int16_t, Field_Count> Sort_Int{};

    // Starts a run: no records, no outputs.
    void Sort_Init();
    // Blanks the input buffer: keys and texts empty, numbers 0.
    void Sort_Record_Clear();
    // Appends the input buffer as the next record.
    void Sort_Record_Store();
    // Sorts the stored records into the outputs; nothing when none was stored. Lets no window message
    // run. When the output count differs from the stored count, returns the count-check message for
    // the caller to show (the output is still delivered); empty otherwise.
    [[nodiscard]] std::wstring Sort_Execute();
    // Releases the outputs.
    void Sort_Erase();

    // Index of the last record: stored ones before Sort_Execute, output ones after it. -1 when none.
    std::int32_t Sort_Max() const { return sort_max_; }
    // Highest key number that was not empty in any stored record (0 when all were empty).
    int Key_Width() const { return key_width_; }

    const std::wstring& Sort_Keys_Out(std::int32_t position, int key) const;
    const Sort_Record& Sort_Records_Out(std::int32_t position) const;

private:
    bool Less(const Sort_Record& a, const Sort_Record& b) const;

    std::vector<Sort_Record> store_;
    std::vector<Sort_Record> out_;
    std::int32_t sort_max_ = -1;
    int key_width_ = 0;
};

// The message shown when a run delivers a different number of records than were stored.
std::wstring Sort_Count_Message(std::int64_t stored, std::int64_t delivered);

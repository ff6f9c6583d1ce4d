#include "memory_sort.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::wstring> Sorted_Keys(const std::vector<std::wstring>& keys) {
    Memory_Sort s;
    s.Sort_Init();
    for (const std::wstring& k : keys) {
        s.Sort_Record_Clear();
        s.Sort_Key[0] = k;
        s.Sort_Record_Store();
    }
    EXPECT_EQ(s.Sort_Execute(), L"");
    std::vector<std::wstring> out;
    for (int i = 0; i <= s.Sort_Max(); ++i) out.push_back(s.Sort_Keys_Out(i, 0));
    return out;
}

}  // namespace

TEST(MemorySort, NoRecordsDoesNothing) {
    Memory_Sort s;
    s.Sort_Init();
    EXPECT_EQ(s.Sort_Execute(), L"");
    EXPECT_EQ(s.Sort_Max(), -1);
    EXPECT_EQ(s.Sort_Keys_Out(0, 0), L"");
}

TEST(MemorySort, CodeUnitOrder) {
    EXPECT_EQ(Sorted_Keys({L"b", L"a", L"B"}), (std::vector<std::wstring>{L"B", L"a", L"b"}));
    EXPECT_EQ(Sorted_Keys({L"abd", L"abc", L"ab"}), (std::vector<std::wstring>{L"ab", L"abc", L"abd"}));
    EXPECT_EQ(Sorted_Keys({L"あ", L"ア", L"z", L"ｱ"}), (std::vector<std::wstring>{L"z", L"あ", L"ア", L"ｱ"}));
}

TEST(MemorySort, HundredAndHundredAndOneRecordsWithPayload) {
    for (int n : {100, 101}) {
        Memory_Sort s;
        s.Sort_Init();
        for (int i = n - 1; i >= 0; --i) {
            s.Sort_Record_Clear();
            wchar_t key[8];
            swprintf(key, 8, L"%04d", i);
            s.Sort_Key[0] = key;
            s.Sort_Str[70] = L"payload " + std::to_wstring(i);
            s.Sort_Cy[3] = Fixed4::From_Whole(i);
            s.Sort_Int[0] = static_cast<std::int16_t>(-i);
            s.Sort_Record_Store();
        }
        EXPECT_EQ(s.Sort_Execute(), L"");
        ASSERT_EQ(s.Sort_Max(), n - 1);
        for (int i = 0; i < n; ++i) {
            const Sort_Record& r = s.Sort_Records_Out(i);
            ASSERT_EQ(r.Str(70), L"payload " + std::to_wstring(i)) << "n=" << n;
            EXPECT_EQ(r.Cy(3), Fixed4::From_Whole(i));
            EXPECT_EQ(r.Int(0), -i);
            EXPECT_EQ(r.Str(0), L"");
        }
        s.Sort_Erase();
        EXPECT_EQ(s.Sort_Records_Out(0).Str(70), L"");
    }
}

TEST(MemorySort, LaterKeysDecideOnlyOnEqualEarlierKeys) {
    Memory_Sort s;
    s.Sort_Init();
    const std::vector<std::array<std::wstring, 3>> rows = {
        {L"b", L"", L"1"}, {L"a", L"y", L"2"}, {L"a", L"", L"3"}, {L"a", L"x", L"4"}, {L"a", L"x", L"0"}};
    for (const auto& row : rows) {
        s.Sort_Record_Clear();
        s.Sort_Key[0] = row[0];
        s.Sort_Key[1] = row[1];
        s.Sort_Str[0] = row[2];
        s.Sort_Record_Store();
    }
    EXPECT_EQ(s.Key_Width(), 1);
    EXPECT_EQ(s.Sort_Execute(), L"");
    std::wstring order;
    for (int i = 0; i <= s.Sort_Max(); ++i) order += s.Sort_Records_Out(i).Str(0);
    // An empty second key sorts first; equal keys keep their store order.
    EXPECT_EQ(order, L"34021");
}

TEST(MemorySort, KeyWidthSkipsKeysNoRecordUses) {
    Memory_Sort s;
    s.Sort_Init();
    s.Sort_Record_Clear();
    s.Sort_Key[9] = L"z";
    s.Sort_Record_Store();
    EXPECT_EQ(s.Key_Width(), 9);
    s.Sort_Init();
    EXPECT_EQ(s.Key_Width(), 0);
    EXPECT_EQ(s.Sort_Max(), -1);
}

TEST(MemorySort, TiesKeepStoreOrderAcrossManyBlocks) {
    Memory_Sort s;
    s.Sort_Init();
    for (int i = 0; i < 1000; ++i) {
        s.Sort_Record_Clear();
        s.Sort_Key[0] = (i % 3 == 0) ? L"same" : L"other";
        s.Sort_Int[5] = static_cast<std::int16_t>(i);
        s.Sort_Record_Store();
    }
    EXPECT_EQ(s.Sort_Execute(), L"");
    int last_other = -1, last_same = -1;
    for (int i = 0; i <= s.Sort_Max(); ++i) {
        const Sort_Record& r = s.Sort_Records_Out(i);
        int& last = r.Key(0) == L"same" ? last_same : last_other;
        ASSERT_GT(r.Int(5), last);
        last = r.Int(5);
        if (r.Key(0) == L"same") {
            ASSERT_GE(i, 666);  // the 666 "other" records come first
        }
    }
}

TEST(MemorySort, CountMessage) {
    EXPECT_EQ(Sort_Count_Message(101, 100), L"Wk_MmSort / IN 101  OUT 100\r\n\r\n入力件数と出力件数が合いません。");
}

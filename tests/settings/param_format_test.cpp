#include "param_format.h"

#include <gtest/gtest.h>

#include "temp_folder.h"
#include "test_files.h"

namespace {

// Collects the messages the code under test shows, instead of opening message boxes.
struct Message_Recorder {
    std::vector<std::wstring> messages;
    std::function<void(const std::wstring&)> Report() {
        return [this](const std::wstring& t) { messages.push_back(t); };
    }
};

History_List Make_List(std::initializer_list<std::wstring> entries) {
    History_List list;
    std::size_t i = 0;
    for (const std::wstring& e : entries) list[i++] = e;
    return list;
}

}  // namespace

TEST(ParamPass, RegistersPathsAndReportsDuplicates) {
    Message_Recorder recorder;
    Param_Pass pass(L"C:\\App\\Para", recorder.Report());
    pass.Begin();
    EXPECT_EQ(pass.Param_File_Count(), -1);
    pass.Text_Update_ParamFileName_Process(L"Para0_1.txt");
    EXPECT_EQ(pass.Param_File_Path(), L"C:\\App\\Para\\Para0_1.txt");
    pass.Text_Update_ParamFileName_Process(L"C:\\App", L"Para2_1.txt");
    EXPECT_EQ(pass.Param_File_Path(), L"C:\\App\\Para2_1.txt");
    EXPECT_TRUE(recorder.messages.empty());

    pass.Text_Update_ParamFileName_Process(L"Para0_1.txt");
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0], L"パレメータファイル名＝C:\\App\\Para\\Para0_1.txt\r\nが重複してます。");
    // The pass goes on with the duplicate in hand.
    EXPECT_EQ(pass.Param_File_Path(), L"C:\\App\\Para\\Para0_1.txt");
    EXPECT_EQ(pass.Param_File_Count(), 2);

    pass.Begin();
    pass.Text_Update_ParamFileName_Process(L"Para0_1.txt");
    EXPECT_EQ(recorder.messages.size(), 1u);
}

TEST(SingleValue, WriteAndReadBack) {
    Temp_Folder dir;
    const std::wstring file = dir / L"v.txt";
    ASSERT_TRUE(Write_Single_Value(file, L"C:\\資料\\a,\"b\".xlsx").Ok);
    EXPECT_EQ(Read_Bytes(file), "C:\\\x8E\x91\x97\xBF\\a,\"b\".xlsx\r\n");
    EXPECT_EQ(Read_Single_Value(file), L"C:\\資料\\a,\"b\".xlsx");

    ASSERT_TRUE(Write_Single_Value(file, L"").Ok);
    EXPECT_EQ(Read_Bytes(file), "");
    EXPECT_EQ(Read_Single_Value(file), L"");
    EXPECT_EQ(Read_Single_Value(dir / L"missing.txt"), L"");

    ASSERT_TRUE(Write_Bytes(file, "first\r\nsecond\r\n"));
    EXPECT_EQ(Read_Single_Value(file), L"first");
    ASSERT_TRUE(Write_Bytes(file, "no line end"));
    EXPECT_EQ(Read_Single_Value(file), L"no line end");
}

TEST(SingleValue, Numbers) {
    Temp_Folder dir;
    const std::wstring file = dir / L"n.txt";
    EXPECT_EQ(Number_Line(1), L" 1");
    EXPECT_EQ(Number_Line(0), L" 0");
    EXPECT_EQ(Number_Line(-1), L"-1");
    ASSERT_TRUE(Write_Single_Value(file, Number_Line(-1)).Ok);
    EXPECT_EQ(Read_Bytes(file), "-1\r\n");
    EXPECT_EQ(Read_Number_Value(file), -1);
    ASSERT_TRUE(Write_Bytes(file, " 3 \r\n"));
    EXPECT_EQ(Read_Number_Value(file), 3);
    EXPECT_EQ(Read_Number_Value(dir / L"missing.txt"), 0);
}

TEST(ValueList, LeadingEmptyLinesVanishLaterOnesStay) {
    Temp_Folder dir;
    const std::wstring file = dir / L"list.txt";
    ASSERT_TRUE(Write_Value_List(file, L"a.txt\r\n\r\nb.txt").Ok);
    EXPECT_EQ(Read_Bytes(file), "a.txt\r\n\r\nb.txt\r\n");
    EXPECT_EQ(Read_Value_List(file), L"a.txt\r\n\r\nb.txt");

    ASSERT_TRUE(Write_Bytes(file, "\r\n\r\nx\r\n\r\ny"));
    EXPECT_EQ(Read_Value_List(file), L"x\r\n\r\ny");
    EXPECT_EQ(Read_Value_List(dir / L"missing.txt"), L"");
}

TEST(ValueList, AFileBeyondSixteenMegabytesIsRefusedUnreadAndAtTheLimitIsRead) {
    Temp_Folder dir;
    const std::wstring file = dir / L"Para1_2.txt";
    std::string bytes(static_cast<std::size_t>(Max_Value_List_Bytes), 'a');
    bytes.replace(0, 4, "x\r\ny");
    ASSERT_TRUE(Write_Bytes(file, bytes));
    Value_List_File at_limit = Read_Value_List_File(file);
    EXPECT_FALSE(at_limit.Too_Large);
    EXPECT_EQ(at_limit.Text.size(), bytes.size());
    EXPECT_EQ(at_limit.Text.substr(0, 4), L"x\r\ny");

    bytes += "\r\n";
    ASSERT_TRUE(Write_Bytes(file, bytes));
    const Value_List_File over = Read_Value_List_File(file);
    EXPECT_TRUE(over.Too_Large);
    EXPECT_TRUE(over.Text.empty());
    EXPECT_EQ(Read_Bytes(file), bytes);
}

TEST(History, NewEntryOnTopWithoutDuplicatesOrGaps) {
    Temp_Folder dir;
    const std::wstring file = dir / L"h.txt";
    History_List list = Make_List({L"b", L"", L"a", L"c"});
    ASSERT_TRUE(Text_Update_Tb_W(file, list, L"a").Ok);
    EXPECT_EQ(list, Make_List({L"a", L"b", L"c"}));
    EXPECT_EQ(Read_Bytes(file), "a\r\nb\r\nc\r\n");

    // An empty entry rewrites the list without gaps and without adding a line.
    list = Make_List({L"", L"x", L"", L"y"});
    ASSERT_TRUE(Text_Update_Tb_W(file, list, L"").Ok);
    EXPECT_EQ(Read_Bytes(file), "x\r\ny\r\n");
}

TEST(History, FullListKeepsTheNewEntryAndThe39Newest) {
    Temp_Folder dir;
    const std::wstring file = dir / L"h.txt";
    History_List list;
    for (int i = 0; i < History_Size; ++i) list[i] = L"old" + std::to_wstring(i);
    ASSERT_TRUE(Text_Update_Tb_W(file, list, L"new").Ok);
    EXPECT_EQ(list[0], L"new");
    EXPECT_EQ(list[1], L"old0");
    EXPECT_EQ(list[39], L"old38");

    History_List back;
    back[5] = L"stale";
    Text_Update_Tb_R(file, back);
    EXPECT_EQ(back, list);
}

TEST(History, ReadKeepsBlankLinesAsEmptySlotsAndIgnoresExtraLines) {
    Temp_Folder dir;
    const std::wstring file = dir / L"h.txt";
    std::string bytes = "a\r\n\r\nb";  // no final CR LF
    for (int i = 0; i < 50; ++i) bytes += "\r\nmore";
    ASSERT_TRUE(Write_Bytes(file, bytes));
    History_List list;
    Text_Update_Tb_R(file, list);
    EXPECT_EQ(list[0], L"a");
    EXPECT_EQ(list[1], L"");
    EXPECT_EQ(list[2], L"b");
    EXPECT_EQ(list[39], L"more");

    Text_Update_Tb_R(dir / L"missing.txt", list);
    EXPECT_EQ(list, History_List{});
}

TEST(Value_List, LinesTheBoxNeverShowedStayWhereTheyWere) {
    // The box showed the file up to a NUL in its second line.
    const std::wstring read(L"a\r\nb\0c\r\nd\r\ne", 12);
    const std::wstring shown = L"a\r\nb";
    const std::vector<std::wstring> all{L"a", std::wstring(L"b\0c", 3), L"d", L"e"};
    EXPECT_EQ(Value_List_Lines_To_Write(read, shown, shown), all);
    // A line added at the end follows the lines it was typed after, hidden ones included.
    std::vector<std::wstring> added = all;
    added.push_back(L"new");
    EXPECT_EQ(Value_List_Lines_To_Write(read, shown, L"a\r\nb\r\nnew"), added);
    // The first line changed: the rest as read.
    EXPECT_EQ(Value_List_Lines_To_Write(read, shown, L"A\r\nb"), (std::vector<std::wstring>{L"A", all[1], L"d", L"e"}));
    // The line that held the NUL replaced: the user's text, and the hidden lines after it.
    EXPECT_EQ(Value_List_Lines_To_Write(read, shown, L"a\r\nB"), (std::vector<std::wstring>{L"a", L"B", L"d", L"e"}));
}

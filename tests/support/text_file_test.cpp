#include "text_file.h"
#include "codepage.h"
#include "utf8_check.h"

#include <gtest/gtest.h>

#include <thread>

#include "temp_folder.h"
#include "test_files.h"

using Lines = std::vector<std::wstring>;

TEST(TextFile, AnsiRoundTripInCodePage932) {
    Temp_Folder dir;
    const std::wstring file = dir / L"Para0_1.txt";
    const File_Write_Result w = Write_Lines_File(file, {L"C:\\資料\\あ.xlsx", L" 1", L""});
    ASSERT_TRUE(w.Ok);
    EXPECT_EQ(w.Encoding, Text_Encoding::Ansi);
    // あ is 82 A0 and 資料 is 8E 91 97 BF in Shift_JIS; every line ends with CR LF.
    EXPECT_EQ(Read_Bytes(file), "C:\\\x8E\x91\x97\xBF\\\x82\xA0.xlsx\r\n 1\r\n\r\n");

    const File_Text r = Get_File_To_Buffer1(file, true);
    EXPECT_TRUE(r.Opened);
    EXPECT_EQ(r.Error, L"");
    EXPECT_EQ(r.Text, L"C:\\資料\\あ.xlsx\r\n 1\r\n\r\n");
}

TEST(TextFile, UnrepresentableTextIsWrittenAsUtf8WithMark) {
    Temp_Folder dir;
    for (const std::wstring text : {L"絵文字😀です", L"em\u2014dash", L"wave\u301Cdash", L"한국어"}) {
        const std::wstring file = dir / L"u.txt";
        const File_Write_Result w = Write_Text_File(file, text);
        ASSERT_TRUE(w.Ok);
        EXPECT_EQ(w.Encoding, Text_Encoding::Utf8_Bom);
        EXPECT_EQ(Read_Bytes(file).substr(0, 3), "\xEF\xBB\xBF");
        EXPECT_EQ(Get_File_To_Buffer1(file, false).Text, text);
    }
}

TEST(TextFile, ReadsUtf16WithMark) {
    Temp_Folder dir;
    ASSERT_TRUE(Write_Bytes(dir / L"w.txt", std::string("\xFF\xFE\x42\x30\x0D\x00\x0A\x00", 8)));
    EXPECT_EQ(Get_File_To_Buffer1(dir / L"w.txt", false).Text, L"あ\r\n");
}

TEST(TextFile, MissingFileReadsEmptyAndReportsOnlyWhenAsked) {
    Temp_Folder dir;
    const std::wstring file = dir / L"none.txt";
    File_Text r = Get_File_To_Buffer1(file, true);
    EXPECT_FALSE(r.Opened);
    EXPECT_EQ(r.Text, L"");
    EXPECT_EQ(r.Error, L"Wk_SysSub/Get_File_To_Buffer1「" + file + L"」はありません。");
    r = Get_File_To_Buffer1(file, false);
    EXPECT_EQ(r.Error, L"");
    // A folder is not a file.
    r = Get_File_To_Buffer1(dir.Path(), false);
    EXPECT_FALSE(r.Opened);
    EXPECT_EQ(r.Text, L"");
}

TEST(TextFile, BadBytesNeverCrash) {
    Temp_Folder dir;
    // A lead byte with nothing after it, bytes unused by code page 932, and NULs.
    const std::string bad("ok\x82", 3);
    ASSERT_TRUE(Write_Bytes(dir / L"bad.txt", bad));
    EXPECT_EQ(Get_File_To_Buffer1(dir / L"bad.txt", false).Text.substr(0, 2), L"ok");

    std::string binary;
    for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>(i * 7 % 256));
    ASSERT_TRUE(Write_Bytes(dir / L"bin.dat", binary));
    const File_Text r = Get_File_To_Buffer1(dir / L"bin.dat", false);
    EXPECT_TRUE(r.Opened);
    EXPECT_FALSE(r.Text.empty());

    // Broken UTF-8 after a mark decodes with replacement characters.
    ASSERT_TRUE(Write_Bytes(dir / L"u8.txt",
                            "\xEF\xBB\xBF"
                            "a\xC3\x28"
                            "b"));
    const std::wstring u8 = Get_File_To_Buffer1(dir / L"u8.txt", false).Text;
    EXPECT_EQ(u8.front(), L'a');
    EXPECT_EQ(u8.back(), L'b');
}

TEST(TextFile, LargeFilesReadWholeAndHugeOnesNotAtAll) {
    Temp_Folder dir;
    std::string ten_mb;
    ten_mb.reserve(10u << 20);
    while (ten_mb.size() < (10u << 20)) ten_mb += "0123456789\x82\xA0\r\n";
    ASSERT_TRUE(Write_Bytes(dir / L"big.txt", ten_mb));
    const File_Text big = Get_File_To_Buffer1(dir / L"big.txt", false);
    EXPECT_EQ(big.Text.size(), ten_mb.size() / 14 * 13);

    HANDLE h = CreateFileW((dir / L"huge.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size{};
    size.QuadPart = static_cast<LONGLONG>(Max_Text_File_Bytes) + 1;
    SetFilePointerEx(h, size, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
    const File_Text huge = Get_File_To_Buffer1(dir / L"huge.txt", false);
    EXPECT_TRUE(huge.Too_Large);
    EXPECT_EQ(huge.Text, L"");
}

TEST(TextFile, FailedWriteLeavesTheOldFileAndNoLeftoversAndARemovedFolderIsMadeAgain) {
    Temp_Folder dir;
    const std::wstring file = dir / L"keep.txt";
    ASSERT_TRUE(Write_Text_File(file, L"old").Ok);

    // Another program holds the file open without letting it be replaced.
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    const File_Write_Result w = Write_Text_File(file, L"new");
    CloseHandle(h);
    EXPECT_FALSE(w.Ok);
    EXPECT_NE(w.Error_Code, 0u);
    EXPECT_EQ(Read_Bytes(file), "old");
    EXPECT_EQ(List_Folder(dir.Path()), (Lines{L"keep.txt"}));

    // A folder where the file should be.
    ASSERT_TRUE(CreateDirectoryW((dir / L"Para1_1.txt").c_str(), nullptr));
    EXPECT_FALSE(Write_Text_File(dir / L"Para1_1.txt", L"x").Ok);
    EXPECT_EQ(GetFileAttributesW((dir / L"Para1_1.txt").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));

    // A folder that was removed is made again; one whose parent is gone too is not.
    EXPECT_FALSE(Write_Text_File(dir / L"gone\\missing\\a.txt", L"x").Ok);
    EXPECT_EQ(List_Folder(dir.Path()).size(), 2u);
    EXPECT_TRUE(Write_Text_File(dir / L"missing\\a.txt", L"x").Ok);
    EXPECT_EQ(Read_Bytes(dir / L"missing\\a.txt"), "x");
    EXPECT_EQ(List_Folder(dir / L"missing"), (Lines{L"a.txt"}));
}

TEST(TextFile, AReaderHoldingTheFileForAMomentIsWaitedFor) {
    Temp_Folder dir;
    const std::wstring file = dir / L"Para0_1.txt";
    ASSERT_TRUE(Write_Text_File(file, L"old").Ok);
    // Another program (a virus scanner, a sync tool) reads the file as the save comes, sharing it
    // fully, and lets it go a moment later.
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    std::thread reader([h] {
        Sleep(100);
        CloseHandle(h);
    });
    const File_Write_Result w = Write_Text_File(file, L"new");
    reader.join();
    EXPECT_TRUE(w.Ok) << w.Error_Code;
    EXPECT_EQ(Read_Bytes(file), "new");
    EXPECT_EQ(List_Folder(dir.Path()), (Lines{L"Para0_1.txt"}));
}

TEST(TextFile, WriteReplacesTheWholeFile) {
    Temp_Folder dir;
    const std::wstring file = dir / L"a.txt";
    ASSERT_TRUE(Write_Text_File(file, L"a much longer old text").Ok);
    ASSERT_TRUE(Write_Lines_File(file, {}).Ok);
    EXPECT_EQ(Read_Bytes(file), "");
    ASSERT_TRUE(Write_Lines_File(file, {L"x"}).Ok);
    EXPECT_EQ(Read_Bytes(file), "x\r\n");
}

TEST(BufferToLines, CrLfRules) {
    EXPECT_EQ(Buffer_To_Lines(L""), (Lines{L""}));
    EXPECT_EQ(Buffer_To_Lines(L"a"), (Lines{L"a"}));
    EXPECT_EQ(Buffer_To_Lines(L"a\r\n"), (Lines{L"a"}));
    EXPECT_EQ(Buffer_To_Lines(L"a\r\n\r\nb"), (Lines{L"a", L"", L"b"}));
    EXPECT_EQ(Buffer_To_Lines(L"\r\na"), (Lines{L"", L"a"}));
    EXPECT_EQ(Buffer_To_Lines(L"a\r\n\r\n"), (Lines{L"a", L""}));
    EXPECT_EQ(Buffer_To_Lines(L"a\nb\rc"), (Lines{L"a\nb\rc"}));
}

TEST(LinesRedim, GrowsOnly) {
    Lines lines{L"a"};
    Lines_Redim(lines, 39);
    ASSERT_EQ(lines.size(), 40u);
    EXPECT_EQ(lines[0], L"a");
    EXPECT_EQ(lines[39], L"");
    Lines_Redim(lines, 3);
    EXPECT_EQ(lines.size(), 40u);
}

TEST(TextFile, Utf8WithoutAMarkIsReadAsUtf8AndNothingWrittenIsTakenForIt) {
    Temp_Folder folder;
    // Notepad's default: UTF-8, no mark, CR LF.
    ASSERT_TRUE(Write_Bytes(folder / L"notepad.txt", "\xE6\x97\xA5\xE6\x9C\xAC\r\nabc"));
    EXPECT_EQ(Get_File_To_Buffer1(folder / L"notepad.txt", false).Text, L"日本\r\nabc");
    // Code page 932 that is no UTF-8, and plain ASCII, as before.
    ASSERT_TRUE(Write_Bytes(folder / L"ansi.txt", "\x93\xFA\x96\x7B\r\nabc"));
    EXPECT_EQ(Get_File_To_Buffer1(folder / L"ansi.txt", false).Text, L"日本\r\nabc");
    // Half-width katakana in code page 932 that happen to be well-formed two-byte UTF-8 ("ﾃｽﾄｰ" is
    // C3 BD C4 B0, "ý°" in UTF-8) stay code page 932, and are written so.
    ASSERT_TRUE(Write_Bytes(folder / L"kana.txt", "\xC3\xBD\xC4\xB0"));
    EXPECT_EQ(Get_File_To_Buffer1(folder / L"kana.txt", false).Text, L"ﾃｽﾄｰ");
    EXPECT_EQ(Write_Text_File(folder / L"kana.txt", L"ﾃｩ").Encoding, Text_Encoding::Ansi);
    EXPECT_EQ(Get_File_To_Buffer1(folder / L"kana.txt", false).Text, L"ﾃｩ");
    EXPECT_EQ(Write_Text_File(folder / L"plain.txt", L"日本").Encoding, Text_Encoding::Ansi);
    // A file that cannot be read whole is marked so, never taken for an empty text.
    EXPECT_FALSE(Get_File_To_Buffer1(folder / L"missing.txt", false).Complete);
    EXPECT_TRUE(Get_File_To_Buffer1(folder / L"plain.txt", false).Complete);
}

TEST(TextFile, JapaneseLinesReadTheSameFromCodePage932AndFromUtf8) {
    // Real lines of the kind users keep: kanji, kana, half-width kana, full-width symbols, ASCII.
    const std::wstring corpus[] = {
        L"お世話になっております。",
        L"株式会社サンプル　営業部　山田太郎",
        L"ｱｲｳｴｵ ｶﾞｷﾞｸﾞ ﾊﾟﾋﾟﾌﾟ",
        L"ﾃｽﾄｰ",
        L"ｺｰﾄﾞ",
        L"ﾃﾞｰﾀ",
        L"〒100-0001 東京都千代田区千代田１－１",
        L"【重要】※至急ご確認ください→○×△□",
        L"気温は25°C、湿度は60％です。",
        L"合計：￥12,345（税込）",
        L"ＡＢＣ１２３ａｂｃ",
        L"Excelへの貼付コントロール v0.4.0",
        L"plain ASCII line, nothing else",
        L"①②③ ⅠⅡⅢ ㈱ ㌔",
        L"漢字かなカナｶﾅ混じり",
    };
    for (const std::wstring& line : corpus) {
        SCOPED_TRACE(testing::Message() << line.size());
        const auto ansi = Wide_To_Ansi_Exact(line);
        ASSERT_TRUE(ansi);
        EXPECT_EQ(Decode_Text_File(*ansi), line);
        EXPECT_EQ(Decode_Text_File(Wide_To_Utf8(line)), line);
        EXPECT_EQ(Decode_Text_File(*ansi + "\r\n" + *ansi), line + L"\r\n" + line);
        // What the program writes reads back as it was.
        EXPECT_EQ(Decode_Text_File(Encode_Text_File(line)), line);
    }
    EXPECT_TRUE(Is_Valid_Cp932("\x93\xFA\x96\x7B\xB1"));
    EXPECT_FALSE(Is_Valid_Cp932("\x93"));      // a lead byte at the end
    EXPECT_FALSE(Is_Valid_Cp932("\xC3\x97"));  // "×" in UTF-8: 97 is a lead byte with no trail
    EXPECT_EQ(Decode_Text_File("\xC3\x97"), L"×");
}

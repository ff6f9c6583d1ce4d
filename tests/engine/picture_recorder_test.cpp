// The pictures' history work on its own thread: entries come out in the order the pictures went in,
// and none is lost when the thread is ended with work still queued.
#include "picture_recorder.h"

#include <gtest/gtest.h>

#include <optional>

#include "temp_folder.h"
#include "test_files.h"

namespace {

Bitmap_Image Solid(int width, int height, std::uint32_t colour) {
    return Bitmap_Image{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, colour)};
}

}  // namespace

TEST(Picture_Recorder, EntriesComeInTheirOrderAndEqualWhatTheHistoryMakesItself) {
    Temp_Folder folder, direct;
    Picture_History made, added;
    made.Folder = folder.Path();
    added.Folder = direct.Path();
    Picture_Recorder recorder;
    for (int i = 1; i <= 12; ++i) {
        // Half-transparent pixels: the bitmap file keeps them exactly as the history always has.
        const Bitmap_Image picture = Solid(20 + i, 10, 0x80102030u + static_cast<std::uint32_t>(i));
        recorder.Submit(picture, 8, folder.Path());
        added.Thumbnail_Side = 8;
        added.Add(picture);
    }
    recorder.Submit(Bitmap_Image{}, 8, folder.Path());  // nothing to keep
    std::vector<Picture_Entry> entries = recorder.Finish_All();
    EXPECT_FALSE(recorder.Pending());
    ASSERT_EQ(entries.size(), 13u);
    for (Picture_Entry& entry : entries) made.Put(std::move(entry));
    ASSERT_EQ(made.Rireki_Pic_Count, 11);
    for (int i = 0; i <= 11; ++i) {
        const Picture_Entry& m = made.Rireki_Pic[static_cast<std::size_t>(i)];
        const Picture_Entry& a = added.Rireki_Pic[static_cast<std::size_t>(i)];
        EXPECT_EQ(m.Width, 32 - i);
        EXPECT_EQ(m.Thumbnail.Pixels, a.Thumbnail.Pixels);
        EXPECT_FALSE(m.Spill.empty());
        EXPECT_EQ(Read_Bytes(m.Spill), Read_Bytes(a.Spill));
    }
}

TEST(Picture_Recorder, EndedWithWorkQueuedItLeavesEveryPictureForTheNextStartInOrder) {
    Temp_Folder folder;
    {
        Picture_Recorder recorder;
        for (int i = 1; i <= 6; ++i)
            recorder.Submit(Solid(300, 200, 0xFF000000u + static_cast<std::uint32_t>(i)), 8, folder.Path());
    }
    Picture_History next_start;
    next_start.Folder = folder.Path();
    next_start.Load();
    ASSERT_EQ(next_start.Rireki_Pic_Count, 5);
    for (int i = 0; i <= 5; ++i) {
        const std::optional<Bitmap_Image> picture = next_start.Picture(i);
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->Pixels[0] & 0xFFFFFFu, static_cast<std::uint32_t>(6 - i));  // newest first
    }
}

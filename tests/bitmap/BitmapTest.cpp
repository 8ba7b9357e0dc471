// The bitmap object: size and notifications, the "Data" stream, copying,
// comparison and whole-bitmap geometry.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "bitmap/Pix32.h"
#include "platform/Filer.h"
#include "platform/Streams.h"
#include "support/Pixels.h"

namespace {

using thorn::test::CountingBitmap;
using thorn::test::FillNumbered;
using thorn::test::Numbered;

TEST(Bitmap, SetSizeZeroFillsAndNotifiesOnChangesOnly) {
    CountingBitmap b;
    EXPECT_TRUE(b.SetSize(3, 2));
    EXPECT_EQ(b.changes, 1);
    EXPECT_EQ(b.resizes, 1);
    for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(b.Bits()[i], 0u);
    EXPECT_EQ(b.ScanLine(1), b.Bits() + 3);
    EXPECT_EQ(b.PixelPtr(2, 1), b.Bits() + 5);
    EXPECT_EQ(b.BoundsRect(), (TRect{0, 0, 3, 2}));
    EXPECT_FALSE(b.SetSize(3, 2));
    EXPECT_EQ(b.changes, 1);
    b.Clear(0xFF123456u);
    b.SetSize(2, 2);
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(b.Bits()[i], 0u);
}

TEST(Bitmap, NegativeSizesBecomeZeroAndLeaveNoPixels) {
    CountingBitmap b;
    EXPECT_TRUE(b.SetSize(-5, 10));
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 10);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Bits(), nullptr);
    int before = b.changes;
    EXPECT_FALSE(b.SetSize(0, 10));
    EXPECT_EQ(b.changes, before);
    b.SetWidth(4);
    EXPECT_FALSE(b.Empty());
    b.Delete();
    EXPECT_TRUE(b.Empty());
}

TEST(Bitmap, ClearOfAnEmptyBitmapGivesNoNotification) {
    CountingBitmap b;
    b.Clear();
    EXPECT_EQ(b.changes, 0);
    b.SetSize(2, 2);
    b.Clear();
    EXPECT_EQ(b.GetPixel(1, 1), 0xFF000000u);
    EXPECT_EQ(b.changes, 2);
}

TEST(Bitmap, UpdatesHoldNotificationsBackAndMustPair) {
    CountingBitmap b;
    b.BeginUpdate();
    b.SetSize(2, 2);
    b.Clear(1);
    b.EndUpdate();
    EXPECT_EQ(b.changes, 0);
    EXPECT_EQ(b.resizes, 1);
    try {
        b.EndUpdate();
        FAIL();
    } catch (const Exception& error) {
        EXPECT_STREQ(error.what(), "Unpaired TThreadPersistent.EndUpdate");
    }
    b.Lock();
    b.Lock();
    EXPECT_EQ(b.LockCount(), 2);
    b.Unlock();
    b.Unlock();
    EXPECT_EQ(b.LockCount(), 0);
}

TEST(Bitmap, SettersNotifyOnlyOnChangeAndMasterAlphaIsKeptInRange) {
    CountingBitmap b;
    b.SetDrawMode(dmBlend);
    b.SetDrawMode(dmBlend);
    b.SetMasterAlpha(255);
    b.SetMasterAlpha(1000);
    EXPECT_EQ(b.MasterAlpha(), 255u);
    b.SetMasterAlpha(7);
    b.SetStretchFilter(sfLanczos);
    b.SetStretchFilter(sfLanczos);
    EXPECT_EQ(b.changes, 3);
}

TEST(Bitmap, ResetAlphaSetsOnlyTheAlphaBytes) {
    CountingBitmap b(5, 1, 0x00123456u);
    b.SetPixel(4, 0, 0x7F000001u);
    b.ResetAlpha();
    EXPECT_EQ(b.GetPixel(0, 0), 0xFF123456u);
    EXPECT_EQ(b.GetPixel(4, 0), 0xFF000001u);
}

TEST(Bitmap, SetSizeFromMapsNullAndOthers) {
    TBitmap32 a, b;
    a.SetSize(4, 7);
    EXPECT_TRUE(b.SetSizeFrom(&a));
    EXPECT_EQ(b.Height(), 7);
    EXPECT_TRUE(b.SetSizeFrom(nullptr));
    EXPECT_TRUE(b.Empty());
    TFont font;
    try {
        b.SetSizeFrom(&font);
        FAIL();
    } catch (const Exception& error) {
        EXPECT_STREQ(error.what(), "Can't set size from 'TFont'");
    }
}

TEST(DataStream, TwoByOneBitmapIsSixteenBytes) {
    CountingBitmap b;
    b.SetSize(2, 1);
    b.SetPixel(0, 0, 0x11223344u);
    b.SetPixel(1, 0, 0xAABBCCDDu);
    TMemoryStream stream;
    b.WriteData(stream);
    std::vector<uint8_t> expected{2, 0, 0, 0, 1, 0, 0, 0, 0x44, 0x33, 0x22, 0x11, 0xDD, 0xCC, 0xBB, 0xAA};
    EXPECT_EQ(stream.Bytes(), expected);

    CountingBitmap c;
    stream.SetPosition(0);
    c.ReadData(stream);
    EXPECT_EQ(c.Width(), 2);
    EXPECT_EQ(c.GetPixel(1, 0), 0xAABBCCDDu);
    EXPECT_EQ(c.changes, 1);
    EXPECT_TRUE(c.Equal(&b));
}

TEST(DataStream, SizesBeyondTheBytesLeftFailCleanly) {
    CountingBitmap b(2, 2, 0xFF0000FFu);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"100000 x 100000 pixels with four bytes behind them",
         {0xA0, 0x86, 0x01, 0x00, 0xA0, 0x86, 0x01, 0x00, 1, 2, 3, 4}},
        {"one pixel short", {2, 0, 0, 0, 1, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7}},
        {"too short for the sizes themselves", {1, 0, 0}},
        // Four bytes a pixel for the largest sides overflow 64 bits.
        {"2147483647 x 2147483647 pixels", {0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x7F}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMemoryStream stream(c.bytes);
        EXPECT_THROW(b.ReadData(stream), EReadError);
        EXPECT_EQ(b.Width(), 2);
        EXPECT_EQ(b.Height(), 2);
        EXPECT_EQ(b.GetPixel(1, 1), 0xFF0000FFu);
    }
}

TEST(DataStream, ANegativeSideReadsNoPixels) {
    CountingBitmap b(2, 2, 0xFF0000FFu);
    std::vector<uint8_t> negative{0xFF, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0};
    TMemoryStream stream(negative);
    b.ReadData(stream);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Height(), 3);
}

TEST(DataStream, IsStoredAgainstAnAncestorOnlyWhenItDiffers) {
    TBitmap32 a, b;
    EXPECT_FALSE(a.ShouldStoreData(nullptr));
    a.SetSize(1, 1);
    EXPECT_TRUE(a.ShouldStoreData(nullptr));
    b.SetSize(1, 1);
    EXPECT_FALSE(a.ShouldStoreData(&b));
    b.SetPixel(0, 0, 1);
    EXPECT_TRUE(a.ShouldStoreData(&b));
    TFont other;
    EXPECT_TRUE(a.ShouldStoreData(&other));
}

// In a form stream the pixels travel as the binary property "Data".
TEST(DataStream, TravelsInAFormStreamAsABinaryProperty) {
    TBitmap32 empty;
    TMemoryStream none;
    TWriter(none).WriteProperties(empty);
    EXPECT_EQ(none.GetSize(), 0);

    TBitmap32 b;
    b.SetSize(1, 1);
    b.SetPixel(0, 0, 0x11223344u);
    TMemoryStream stream;
    TWriter(stream).WriteProperties(b);
    // The name, the binary tag 10 with its length, then width, height and
    // the pixel.
    EXPECT_EQ(stream.Bytes(), (std::vector<uint8_t>{4, 'D', 'a', 't', 'a', 10, 12, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0,
                                                    0x44, 0x33, 0x22, 0x11}));
    stream.SetPosition(0);
    TBitmap32 read;
    TReader(stream).ReadProperty(read);
    EXPECT_TRUE(read.Equal(&b));
}

TEST(Bitmap, AssignCopiesPixelsAndSettingsWithOneNotification) {
    CountingBitmap a, b;
    FillNumbered(a, 3, 2);
    a.SetDrawMode(dmBlend);
    a.SetMasterAlpha(100);
    a.SetOuterColor(5);
    a.SetStretchFilter(sfMitchell);
    b.Assign(a);
    EXPECT_EQ(b.changes, 1);
    EXPECT_TRUE(b.Equal(&a));
    EXPECT_EQ(b.DrawMode(), dmBlend);
    EXPECT_EQ(b.MasterAlpha(), 100u);
    EXPECT_EQ(b.OuterColor(), 5u);
    EXPECT_EQ(b.StretchFilter(), sfMitchell);
    a.SetPixel(0, 0, 0);
    EXPECT_EQ(b.GetPixel(0, 0), Numbered(0, 0));
    b.Assign(static_cast<const TPersistent*>(nullptr));
    EXPECT_TRUE(b.Empty());
    TFont font;
    EXPECT_THROW(b.Assign(font), EConvertError);
}

TEST(Bitmap, EqualComparesSizeAndPixelsAndToleratesNoBitmap) {
    TBitmap32 a, b;
    EXPECT_TRUE(a.Equal(&b));
    EXPECT_TRUE(a.Equal(nullptr));
    FillNumbered(a, 2, 2);
    EXPECT_FALSE(a.Equal(nullptr));
    EXPECT_FALSE(a.Equal(&b));
    FillNumbered(b, 2, 2);
    EXPECT_TRUE(a.Equal(&b));
    b.SetPixel(1, 1, 0x00000000u);
    EXPECT_FALSE(a.Equal(&b));
    FillNumbered(b, 1, 4);
    EXPECT_FALSE(a.Equal(&b));
}

TEST(Bitmap, NoEventRunsWhileItIsDestroyed) {
    int calls = 0;
    {
        CountingBitmap b(4, 4);
        b.OnChange = [&](TObject*) { ++calls; };
        b.OnResize = [&](TObject*) { ++calls; };
        b.OnHandleChanged = [&](TObject*) { ++calls; };
    }
    EXPECT_EQ(calls, 0);
}

// A copy into a bitmap of another size is told once it is whole: OnChange,
// then OnResize, each seeing the copied pixels (the picture of a view
// scrolls and repaints on OnResize).
TEST(Bitmap, AWholeCopyIsToldOnceItIsComplete) {
    CountingBitmap source;
    FillNumbered(source, 3, 2);
    TMemoryStream data, file;
    source.WriteData(data);
    source.SaveToStream(file);
    const std::vector<std::pair<std::string, std::function<void(TBitmap32&)>>> copies = {
        {"Assign", [&](TBitmap32& b) { b.Assign(source); }},
        {"ReadData",
         [&](TBitmap32& b) {
             data.SetPosition(0);
             b.ReadData(data);
         }},
        {"LoadFromStream",
         [&](TBitmap32& b) {
             file.SetPosition(0);
             b.LoadFromStream(file);
         }},
        {"FlipHorz", [&](TBitmap32& b) { source.FlipHorz(&b); }},
        {"FlipVert", [&](TBitmap32& b) { source.FlipVert(&b); }},
        {"Rotate90", [&](TBitmap32& b) { source.Rotate90(&b); }},
        {"Rotate180", [&](TBitmap32& b) { source.Rotate180(&b); }},
    };
    for (const auto& [name, copy] : copies) {
        SCOPED_TRACE(name);
        TBitmap32 target;
        target.SetSize(7, 7);
        std::vector<std::string> told;
        const auto tell = [&](const char* event) {
            return [&told, &target, event](TObject*) {
                told.push_back(std::string(event) + (target.GetPixel(0, 0) != 0 ? " copied" : " blank"));
            };
        };
        target.OnChange = tell("change");
        target.OnResize = tell("resize");
        copy(target);
        // Loading from a stream tells of the change once more at the end.
        std::vector<std::string> expected{"change copied", "resize copied"};
        if (name == "LoadFromStream") expected.push_back("change copied");
        EXPECT_EQ(told, expected);
    }
}

TEST(Geometry, RollMovesTheStoreAsOneRunAndFillsBehind) {
    CountingBitmap b;
    FillNumbered(b, 3, 3);
    b.changes = 0;
    b.Roll(0, 1, true, 0xFFABCDEFu);
    for (int32_t x = 0; x < 3; ++x) {
        EXPECT_EQ(b.GetPixel(x, 0), 0xFFABCDEFu);
        EXPECT_EQ(b.GetPixel(x, 1), Numbered(x, 0));
        EXPECT_EQ(b.GetPixel(x, 2), Numbered(x, 1));
    }
    EXPECT_EQ(b.changes, 1);
    FillNumbered(b, 3, 3);
    b.Roll(1, 0, false, 0);  // the last pixel of a row moves into the next row
    EXPECT_EQ(b.GetPixel(0, 1), Numbered(2, 0));
    EXPECT_EQ(b.GetPixel(1, 1), Numbered(0, 1));
    FillNumbered(b, 3, 3);
    b.Roll(-1, -1, true, 7);
    EXPECT_EQ(b.GetPixel(0, 0), Numbered(1, 1));
    EXPECT_EQ(b.GetPixel(2, 0), 7u);
    EXPECT_EQ(b.GetPixel(0, 2), 7u);
    b.Roll(5, 0, true, 9);
    EXPECT_EQ(b.GetPixel(1, 1), 9u);
    int before = b.changes;
    b.Roll(0, 0, true, 1);
    EXPECT_EQ(b.changes, before);
}

// Flips and turns of a numbered 3 x 2 picture, into another bitmap, into
// itself through a pointer and in place: every pixel of the result is the
// numbered one it comes from; the settings stay.
TEST(Geometry, FlipsAndTurnsMoveEveryPixel) {
    using Op = void (TBitmap32::*)(TBitmap32*);
    struct Case {
        const char* what;
        Op op;
        int32_t width;  // of the result; its height is the other side
        std::function<TColor32(int32_t x, int32_t y)> from;
    };
    const Case cases[] = {
        {"horizontal flip", &TBitmap32::FlipHorz, 3, [](int32_t x, int32_t y) { return Numbered(2 - x, y); }},
        {"vertical flip", &TBitmap32::FlipVert, 3, [](int32_t x, int32_t y) { return Numbered(x, 1 - y); }},
        {"quarter turn", &TBitmap32::Rotate90, 2, [](int32_t x, int32_t y) { return Numbered(y, 1 - x); }},
        {"half turn", &TBitmap32::Rotate180, 3, [](int32_t x, int32_t y) { return Numbered(2 - x, 1 - y); }},
        {"three quarters", &TBitmap32::Rotate270, 2, [](int32_t x, int32_t y) { return Numbered(2 - y, x); }},
    };
    for (const Case& c : cases)
        for (int way = 0; way < 3; ++way) {
            SCOPED_TRACE(std::string(c.what) + " way " + std::to_string(way));
            TBitmap32 b, other;
            FillNumbered(b, 3, 2);
            b.SetMasterAlpha(77);
            TBitmap32& result = way == 0 ? other : b;
            (b.*c.op)(way == 0 ? &other : way == 1 ? &b : nullptr);
            ASSERT_EQ(result.Width(), c.width);
            ASSERT_EQ(result.Height(), 5 - c.width);
            for (int32_t y = 0; y < result.Height(); ++y)
                for (int32_t x = 0; x < result.Width(); ++x) EXPECT_EQ(result.GetPixel(x, y), c.from(x, y)) << x << "," << y;
            EXPECT_EQ(b.MasterAlpha(), 77u);
        }
}

TEST(Bitmap, PixelStoreIsTheBitmapsOwnMemory) {
    CountingBitmap b(4, 3);
    thorn::PixelView view = b.PixelStore();
    EXPECT_EQ(view.bits, b.Bits());
    EXPECT_EQ(view.width, 4);
    EXPECT_EQ(view.height, 3);
    view.Row(2)[1] = 0x12345678u;
    EXPECT_EQ(b.GetPixel(1, 2), 0x12345678u);
    auto* bytes = reinterpret_cast<const uint8_t*>(b.PixelPtr(1, 2));
    EXPECT_EQ(bytes[0], 0x78);  // blue first
    EXPECT_EQ(bytes[3], 0x12);  // alpha last
}

TEST(Bitmap, DrawToAPixelStoreCopiesAlphaZeroPixelsAsTheyAre) {
    CountingBitmap b(2, 2, 0x00FF8040u);
    std::vector<uint32_t> store(16, 0xFFFFFFFFu);
    b.DrawTo(thorn::PixelView{store.data(), 4, 4}, 1, 1);
    EXPECT_EQ(store[5], 0x00FF8040u);
    EXPECT_EQ(store[10], 0x00FF8040u);
    EXPECT_EQ(store[0], 0xFFFFFFFFu);
    EXPECT_EQ(store[15], 0xFFFFFFFFu);
    // Stretched and partly outside the store.
    b.SetPixel(0, 0, 1);
    b.DrawTo(thorn::PixelView{store.data(), 4, 4}, TRect{-2, -2, 2, 2}, TRect{0, 0, 2, 2});
    EXPECT_EQ(store[0], 0x00FF8040u);
    CountingBitmap c(4, 4);
    c.Draw(TRect{0, 0, 4, 4}, TRect{0, 0, 2, 2}, thorn::PixelView{store.data(), 4, 4});
    EXPECT_EQ(c.GetPixel(3, 3), store[5]);
}

TEST(Bitmap, TileToDrawsLargeStretchesBlockByBlock) {
    TBitmap32 b;
    FillNumbered(b, 3, 3);
    std::vector<uint32_t> store(static_cast<size_t>(2100) * 3);
    b.TileTo(thorn::PixelView{store.data(), 2100, 3}, TRect{0, 0, 2100, 3}, TRect{0, 0, 3, 1});
    EXPECT_EQ(store[0], Numbered(0, 0));
    EXPECT_EQ(store[1049], Numbered(1, 0));
    EXPECT_EQ(store[2099 + 2100], Numbered(2, 0));

    // Blended, every block blends onto an empty one: all look like the first.
    TBitmap32 half;
    half.SetSize(1, 1);
    half.Clear(0x80FFFFFFu);
    half.SetDrawMode(dmBlend);
    half.TileTo(thorn::PixelView{store.data(), 2100, 3}, TRect{0, 0, 2100, 3}, TRect{0, 0, 1, 1});
    EXPECT_EQ(store[0], 0x40808080u);
    for (size_t i : {size_t{1024}, size_t{2048}, store.size() - 1}) EXPECT_EQ(store[i], store[0]) << i;
}

}  // namespace

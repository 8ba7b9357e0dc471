#include <gtest/gtest.h>

#include <vector>

#include "model/OrvSerializer.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A small record with one field of every kind the serializers carry.
struct Sample {
    uint32_t dword = 0;
    uint16_t word = 0;
    uint8_t byte = 0;
    int asByte = 0;
    int32_t signedDword = 0;
    int16_t signedWord = 0;
    Orv::CString name;
    std::string text;

    void Serialize(Orv::ISerializer& s) {
        s.Dword(dword);
        s.Word(word);
        s.Byte(byte);
        s.IntAsByte(asByte);
        s.Dword(signedDword);
        s.Word(signedWord);
        s.String(name);
        s.Text(text);
    }
};

Sample Filled() {
    Sample r;
    r.dword = 0x11223344;
    r.word = 0xA1B2;
    r.byte = 0xC3;
    r.asByte = 300;
    r.signedDword = -2;
    r.signedWord = -3;
    r.name.Assign("abc");
    r.text = "Thornvale";
    return r;
}

TEST(Serializer, SizerCountsEveryOperation) {
    struct Small {
        uint32_t d = 7;
        std::string empty;
        Orv::CString abc{"abc"};
        void Serialize(Orv::ISerializer& s) {
            s.Dword(d);
            s.Text(empty);
            s.String(abc);
        }
    } small;
    Orv::CSerialSizer sizer;
    small.Serialize(sizer);
    EXPECT_EQ(sizer.Size(), 9u);
    EXPECT_EQ(sizer.Error(), 0u);
    EXPECT_EQ(Orv::SerializeToBytes(small), (Bytes{7, 0, 0, 0, 0, 'a', 'b', 'c', 0}));
}

TEST(Serializer, ExactLittleEndianLayout) {
    Sample r = Filled();
    Bytes expected = {0x44, 0x33, 0x22, 0x11, 0xB2, 0xA1, 0xC3, 0x2C, 0xFE, 0xFF, 0xFF, 0xFF, 0xFD, 0xFF,
                      'a',  'b',  'c',  0,    'T',  'h',  'o',  'r',  'n',  'v',  'a',  'l',  'e',  0};
    EXPECT_EQ(Orv::SerializeToBytes(r), expected);
}

TEST(Serializer, RoundTripThroughSaverAndLoader) {
    Sample r = Filled();
    Bytes bytes = Orv::SerializeToBytes(r);
    Sample back;
    Orv::CSerialLoader loader(bytes);
    EXPECT_EQ(loader.IsSaving(), 0);
    back.Serialize(loader);
    EXPECT_EQ(loader.Error(), 0u);
    EXPECT_EQ(loader.Position(), bytes.size());
    EXPECT_EQ(back.asByte, 44);  // the low byte of 300, zero-extended
    EXPECT_EQ(back.signedDword, -2);
    EXPECT_EQ(back.signedWord, -3);
    EXPECT_EQ(Orv::SerializeToBytes(back), bytes);
}

TEST(Serializer, SaverDropsWhatDoesNotFitAndEverythingAfter) {
    Sample r = Filled();
    Bytes buffer(5, 0xEE);
    Orv::CSerialSaver saver(buffer);
    r.Serialize(saver);
    EXPECT_EQ(saver.Error(), 1u);
    EXPECT_EQ(saver.Position(), 4u);
    EXPECT_EQ(buffer, (Bytes{0x44, 0x33, 0x22, 0x11, 0xEE}));  // the u8 after the failed u16 is dropped too
}

TEST(Serializer, LoaderStopsAtFirstShortRead) {
    Bytes three = {1, 2, 3};
    Orv::CSerialLoader loader(three);
    uint32_t d = 99;
    uint8_t b = 77;
    loader.Dword(d);
    loader.Byte(b);
    EXPECT_EQ(loader.Error(), 1u);
    EXPECT_EQ(d, 99u);
    EXPECT_EQ(b, 77);  // dropped although one byte would fit
    EXPECT_EQ(loader.Remaining(), 0u);
}

TEST(Serializer, StringWithoutNulIsAnError) {
    Bytes bytes = {'a', 'b', 'c'};
    Orv::CString s("old");
    std::string t = "old";
    Orv::CSerialLoader a(bytes);
    a.String(s);
    EXPECT_EQ(a.Error(), 1u);
    EXPECT_EQ(s, "old");
    Orv::CSerialLoader b(bytes);
    b.Text(t);
    EXPECT_EQ(b.Error(), 1u);
    EXPECT_EQ(t, "old");
    Orv::CSerialLoader empty(std::span<const uint8_t>{});
    empty.Text(t);
    EXPECT_EQ(empty.Error(), 1u);
}

TEST(Serializer, TextIsStoredUpToItsFirstNul) {
    struct T {
        std::string text{"ab\0cd", 5};
        void Serialize(Orv::ISerializer& s) { s.Text(text); }
    } t;
    EXPECT_EQ(Orv::SerializeToBytes(t), (Bytes{'a', 'b', 0}));
}

// Every prefix of a valid record loads without reading past its end, fails
// from the first field that does not fit, and keeps the earlier fields.
TEST(Serializer, LoaderOverflowAtEveryByteBoundary) {
    Sample r = Filled();
    Bytes bytes = Orv::SerializeToBytes(r);
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        Bytes prefix(bytes.begin(), bytes.begin() + static_cast<long>(cut));
        Sample back;
        back.text = "unchanged";
        Orv::CSerialLoader loader(prefix);
        back.Serialize(loader);
        EXPECT_EQ(loader.Error(), 1u) << "cut at " << cut;
        EXPECT_LE(loader.Position(), cut);
        EXPECT_EQ(back.text, "unchanged") << "cut at " << cut;
        if (cut >= 4) EXPECT_EQ(back.dword, r.dword);
        else EXPECT_EQ(back.dword, 0u);
        if (cut >= 18) EXPECT_EQ(back.name, "abc");
        else EXPECT_TRUE(back.name.IsEmpty()) << "cut at " << cut;
    }
}

}  // namespace

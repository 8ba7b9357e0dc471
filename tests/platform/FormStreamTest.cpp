#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <initializer_list>
#include <limits>

#include "platform/ClassRegistry.h"
#include "platform/Filer.h"
#include "platform/ReadNesting.h"
#include "support/PictureFiles.h"
#include "support/Readers.h"
#include "support/SmallStack.h"
#include "support/StreamSamples.h"

namespace {

using thorn::test::ByteWriter;
using thorn::test::TSample;
using thorn::test::TSampleRow;

// The header of a stream holding one TSample named S1.
ByteWriter SampleHeader() {
    ByteWriter w;
    w.Chars("TPF0").ShortString("TSample").ShortString("S1");
    return w;
}

std::vector<uint8_t> Written(TComponent& component) {
    TMemoryStream stream;
    thorn::WriteComponent(stream, component);
    return stream.Bytes();
}

std::unique_ptr<TSample> Read(const std::vector<uint8_t>& bytes) {
    TMemoryStream stream(bytes);
    std::unique_ptr<TComponent> read = thorn::ReadComponent(stream);
    auto* sample = dynamic_cast<TSample*>(read.get());
    if (!sample) return nullptr;
    read.release();
    return std::unique_ptr<TSample>(sample);
}

class FormStream : public ::testing::Test {
protected:
    void SetUp() override { thorn::test::RegisterSamples(); }

    // Every property away from its default.
    static void Fill(TSample& s) {
        s.SetName("S1");
        s.Count = 300;
        s.Big = 5'000'000'000;
        s.Sep = '\x01';
        s.Enabled = false;
        s.Align = thorn::test::saClient;
        s.Options = {thorn::test::soBold, thorn::test::soLast};
        s.Ratio = 1.5;
        s.When = 2.0;
        s.Caption = "Hello";
        s.Font.Size = 12;
        s.Font.Name = "Abc";
        s.Items.Add("a");
        s.Items.Add("\xE9");
        auto* row = static_cast<TSampleRow*>(s.Rows.Add());
        row->Height = 5;
        row->Text = "r1";
        s.Rows.Add();
        s.Data = {1, 2, 3};
    }
};

TEST_F(FormStream, WritesTheFormatsLayout) {
    TSample sample;
    Fill(sample);
    ByteWriter expected = SampleHeader();
    expected.ShortString("Count").Raw({3, 0x2C, 0x01})
        .ShortString("Big").Raw({19, 0x00, 0xF2, 0x05, 0x2A, 0x01, 0, 0, 0})
        .ShortString("Sep").Raw({6, 1, 1})
        .ShortString("Enabled").Raw({8})
        .ShortString("Align").Raw({7}).ShortString("saClient")
        .ShortString("Options").Raw({11}).ShortString("soBold").ShortString("soLast").Raw({0})
        .ShortString("Ratio").Raw({5, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F})
        .ShortString("When").Raw({17, 0, 0, 0, 0, 0, 0, 0, 0x40})
        .ShortString("Caption").Raw({6}).ShortString("Hello")
        .ShortString("Hidden").Raw({8})
        .ShortString("Font.Size").Raw({2, 12})
        .ShortString("Font.Name").Raw({6}).ShortString("Abc")
        .ShortString("Items.Strings").Raw({1, 6}).ShortString("a").Raw({6}).ShortString("\xE9").Raw({0})
        .ShortString("Rows").Raw({14, 1})
        .ShortString("Height").Raw({2, 5}).ShortString("Text").Raw({6}).ShortString("r1").Raw({0, 1, 0, 0})
        .ShortString("Data").Raw({10, 3, 0, 0, 0, 1, 2, 3}).Raw({0, 0});
    EXPECT_EQ(Written(sample), expected.Bytes());

    // Defaults are not stored, nor is a held-back property; a collection
    // always is, even empty.
    TSample plain;
    plain.SetName("S1");
    plain.Caption = "skip";
    ByteWriter minimal = SampleHeader();
    minimal.ShortString("Caption").Raw({6}).ShortString("skip").ShortString("Rows").Raw({14, 0}).Raw({0, 0});
    EXPECT_EQ(Written(plain), minimal.Bytes());
}

TEST_F(FormStream, ReadsEveryValueKind) {
    // The same values in the other forms a stream may hold them in.
    ByteWriter bytes = SampleHeader();
    bytes.ShortString("Count").Raw({4, 0x2C, 0x01, 0, 0})
        .ShortString("big").Raw({19, 0x00, 0xF2, 0x05, 0x2A, 0x01, 0, 0, 0})
        .ShortString("Sep").Raw({6, 1, 1})
        .ShortString("Enabled").Raw({8})
        .ShortString("Align").Raw({7}).ShortString("SACLIENT")
        .ShortString("Options").Raw({11}).ShortString("soLast").ShortString("soBold").Raw({0})
        .ShortString("Ratio").Raw({21, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F})
        .ShortString("When").Raw({5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0x40})
        .ShortString("Caption").Raw({12, 5, 0, 0, 0}).Chars("Hello")
        .ShortString("Font.Size").Raw({2, 12})
        .ShortString("Font.Name").Raw({20, 3, 0, 0, 0}).Chars("Abc")
        .ShortString("Items.Strings").Raw({1, 18, 1, 0, 0, 0, 'a', 0, 20, 2, 0, 0, 0, 0xC3, 0xA9, 0})
        .ShortString("Rows").Raw({14, 2, 7, 1})
        .ShortString("Height").Raw({2, 5}).ShortString("Text").Raw({6}).ShortString("r1").Raw({0, 1, 0, 0})
        .ShortString("Data").Raw({10, 3, 0, 0, 0, 1, 2, 3}).Raw({0, 0});
    std::unique_ptr<TSample> s = Read(bytes.Bytes());
    ASSERT_TRUE(s);
    TSample expected;
    Fill(expected);
    EXPECT_EQ(s->GetName(), "S1");
    EXPECT_EQ(s->Count, expected.Count);
    EXPECT_EQ(s->Big, expected.Big);
    EXPECT_EQ(s->Sep, expected.Sep);
    EXPECT_EQ(s->Enabled, expected.Enabled);
    EXPECT_EQ(s->Align, expected.Align);
    EXPECT_EQ(s->Options, expected.Options);
    EXPECT_EQ(s->Ratio, expected.Ratio);
    EXPECT_EQ(s->When, expected.When);
    EXPECT_EQ(s->Caption, expected.Caption);
    EXPECT_EQ(s->Font.Size, expected.Font.Size);
    EXPECT_EQ(s->Font.Name, expected.Font.Name);
    EXPECT_TRUE(s->Items.Equals(expected.Items));
    ASSERT_EQ(s->Rows.GetCount(), 2);
    EXPECT_EQ(static_cast<TSampleRow*>(s->Rows.GetItem(0))->Height, 5);
    EXPECT_EQ(static_cast<TSampleRow*>(s->Rows.GetItem(0))->Text, "r1");
    EXPECT_EQ(s->Data, expected.Data);
    EXPECT_EQ(s->LoadedCalls, 1);
    EXPECT_FALSE(s->GetComponentState().Contains(csLoading));
}

TEST_F(FormStream, RealsKeepTheirValue) {
    const double cases[] = {0.1, -2, 1e300, -1e-300, std::numeric_limits<double>::denorm_min(),
                            std::numeric_limits<double>::max(), std::numeric_limits<double>::infinity()};
    for (double value : cases) {
        TSample sample;
        sample.Ratio = value;
        sample.When = value;
        std::unique_ptr<TSample> back = Read(Written(sample));
        EXPECT_EQ(back->Ratio, value);
        EXPECT_EQ(back->When, value);
    }
    TSample nan;
    nan.Ratio = std::nan("");
    EXPECT_TRUE(std::isnan(Read(Written(nan))->Ratio));
}

TEST_F(FormStream, ChildComponentsBelongToTheRoot) {
    TSample root;
    root.SetName("Root");
    TSample* panel = thorn::Make<TSample>(root);
    panel->SetName("Panel");
    TSample* button = thorn::Make<TSample>(root);
    button->SetName("Button");
    button->Count = 4;
    root.Children = {panel};
    panel->Children = {button};

    std::unique_ptr<TSample> back = Read(Written(root));
    ASSERT_EQ(back->GetComponentCount(), 2);
    auto* panelBack = dynamic_cast<TSample*>(back->FindComponent("Panel"));
    auto* buttonBack = dynamic_cast<TSample*>(back->FindComponent("Button"));
    ASSERT_TRUE(panelBack && buttonBack);
    EXPECT_EQ(panelBack->Parent, back.get());
    EXPECT_EQ(buttonBack->Parent, panelBack);
    EXPECT_EQ(buttonBack->Count, 4);
    EXPECT_EQ(buttonBack->LoadedCalls, 1);
}

TEST_F(FormStream, EveryTruncationIsRefused) {
    TSample sample;
    Fill(sample);
    thorn::test::ExpectEveryCutRefused(Written(sample), [](std::span<const uint8_t> part) {
        try {
            Read(std::vector<uint8_t>(part.begin(), part.end()));
        } catch (const EReadError&) {
            return true;
        }
        return false;
    });
}

TEST_F(FormStream, HostileStreamsAreRefused) {
    struct Case {
        const char* what;
        ByteWriter bytes;
        const char* message;
    };
    // A TSample named S1 with the given property bytes.
    auto props = [](std::function<void(ByteWriter&)> body) {
        ByteWriter b = SampleHeader();
        body(b);
        b.Raw({0, 0});
        return b;
    };
    auto header = [](std::string_view signature, std::string_view className, std::string_view name) {
        ByteWriter b;
        b.Chars(signature).ShortString(className).ShortString(name);
        return b;
    };
    ByteWriter deep = header("TPF0", "TSample", "A").Raw({0});
    for (int i = 0; i < 4 * thorn::kMaxReadNesting; ++i) deep.ShortString("TSample").ShortString("").Raw({0});
    ByteWriter twins = header("TPF0", "TSample", "R").Raw({0});
    twins.ShortString("TSample").ShortString("C").Raw({0, 0}).ShortString("TSample").ShortString("c").Raw({0, 0, 0});
    const Case cases[] = {
        {"signature", header("TPF1", "TSample", "S1").Raw({0, 0}), "Invalid stream format"},
        {"class", header("TPF0", "TNope", "S1").Raw({0, 0}), "Class TNope not found"},
        {"no component", header("TPF0", "TSampleFont", "").Raw({0, 0}), "Class TSampleFont is not a component"},
        {"property", props([](ByteWriter& b) { b.ShortString("Colour").Raw({2, 1}); }),
         "Property Colour does not exist"},
        {"nested property", props([](ByteWriter& b) { b.ShortString("Caption.Size").Raw({2, 1}); }),
         "Property Caption.Size does not exist"},
        {"kind", props([](ByteWriter& b) { b.ShortString("Count").Raw({6}).ShortString("x"); }),
         "Invalid property value"},
        {"member", props([](ByteWriter& b) { b.ShortString("Align").Raw({7}).ShortString("saLeft"); }),
         "Invalid property value"},
        {"set member", props([](ByteWriter& b) { b.ShortString("Options").Raw({11}).ShortString("soNone").Raw({0}); }),
         "Invalid property value"},
        {"two-letter char", props([](ByteWriter& b) { b.ShortString("Sep").Raw({6}).ShortString("ab"); }),
         "Invalid property value"},
        {"huge string", props([](ByteWriter& b) { b.ShortString("Caption").Raw({12, 0xFF, 0xFF, 0xFF, 0x7F}); }),
         "Stream read error"},
        {"negative length", props([](ByteWriter& b) { b.ShortString("Data").Raw({10, 0xFF, 0xFF, 0xFF, 0xFF}); }),
         "Invalid stream format"},
        {"not Windows-1252", props([](ByteWriter& b) { b.ShortString("Caption").Raw({18, 1, 0, 0, 0, 0x00, 0x4E}); }),
         "Invalid property value"},
        {"setter", props([](ByteWriter& b) { b.ShortString("Count").Raw({2, 0xFF}); }),
         "Error reading S1.Count: Count must not be negative"},
        {"name", header("TPF0", "TSample", "1x").Raw({0, 0}), "Error reading 1x: '1x' is not a valid component name"},
        {"twin children", twins, "Error reading c: A component named c already exists"},
        {"nesting", deep, "Form stream nested too deeply"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_THROW(Read(c.bytes.Bytes()), EStreamError);
        EXPECT_EQ(thorn::test::MessageOf([&] { Read(c.bytes.Bytes()); }), c.message);
    }
}

// Samples nested components deep, one in the other, the deepest holding
// rows empty rows; no other properties.
std::vector<uint8_t> Nested(int components, int rows) {
    ByteWriter b;
    b.Chars("TPF0");
    for (int level = 1; level <= components; ++level) {
        b.ShortString("TSample").ShortString(level == 1 ? "A" : "");
        if (level == components && rows > 0) {
            b.ShortString("Rows").Raw({14});
            for (int i = 0; i < rows; ++i) b.Raw({1, 0});
            b.Raw({0});
        }
        b.Raw({0});
    }
    for (int level = 1; level <= components; ++level) b.Raw({0});
    return b.Bytes();
}

TEST_F(FormStream, WhatIsReadAtTheNestingLimitIsWrittenAndReadBack) {
    // A component is a level and so is a collection's item; an empty
    // collection, which the writer writes for every sample, is none.
    constexpr int kBudget = thorn::kMaxReadNesting;
    constexpr const char* kBack = "written and read back";
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* outcome;
    };
    const Case cases[] = {
        {"components filling the budget", Nested(kBudget, 0), kBack},
        {"one component more", Nested(kBudget + 1, 0), "Form stream nested too deeply"},
        {"rows on the deepest component but one", Nested(kBudget - 1, 2), kBack},
        {"rows on the deepest", Nested(kBudget, 2), "Form stream nested too deeply"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string outcome;
        thorn::test::RunWithStack(thorn::test::kReaderStack, [&] {
            try {
                const std::vector<uint8_t> first = Written(*Read(c.bytes));
                outcome = Written(*Read(first)) == first ? kBack : "written otherwise";
            } catch (const EReadError& e) {
                outcome = e.what();
            }
        });
        EXPECT_EQ(outcome, c.outcome);
    }
}

TEST_F(FormStream, ClassesAreFoundByName) {
    ASSERT_NE(GetClass("tsample"), nullptr);
    EXPECT_EQ(FindClass("TSAMPLE").Name(), "TSample");
    EXPECT_TRUE(FindClass("TSample").Create<TSample>());
    EXPECT_FALSE(FindClass("TSampleFont").Create<TComponent>());
    EXPECT_EQ(GetClass("TNope"), nullptr);
    EXPECT_THROW(FindClass("TNope"), EClassNotFound);
    EXPECT_NO_THROW(RegisterClass<TSample>("TSample"));
    EXPECT_THROW(RegisterClass<TSampleRow>("tsample"), EFilerError);
    RegisterClass<TSampleRow>("TSampleRow");
    EXPECT_EQ(thorn::ClassName(TSampleRow()), "TSampleRow");
    UnRegisterClass("TSampleRow");
    EXPECT_EQ(GetClass("TSampleRow"), nullptr);
    EXPECT_EQ(thorn::ClassName(TSampleRow()), "");

    // A component of an unregistered class cannot be written.
    struct TUnlisted : TComponent {};
    TUnlisted unlisted;
    TMemoryStream stream;
    EXPECT_THROW(thorn::WriteComponent(stream, unlisted), EWriteError);
}

}  // namespace

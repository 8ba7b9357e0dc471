#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Collections.h"
#include "platform/Components.h"
#include "platform/Filer.h"
#include "platform/StringList.h"

// Components that publish one property of every kind a form stream knows,
// for the tests and the fuzz target of the form stream.
namespace thorn::test {

enum TSampleAlign { saNone, saTop, saClient };
inline constexpr std::string_view kSampleAlignNames[] = {"saNone", "saTop", "saClient"};
enum TSampleOption { soBold, soWide, soLast };
inline constexpr std::string_view kSampleOptionNames[] = {"soBold", "soWide", "soLast"};

class TSampleFont : public TPersistent {
public:
    int32_t Size = 8;
    std::string Name;

    void PublishProperties(PropertyList& list) override {
        list.Integer("Size", [this] { return Size; }, [this](int32_t v) { Size = v; }, 8);
        list.String("Name", [this] { return Name; }, [this](const std::string& v) { Name = v; });
    }
};

class TSampleRow : public TCollectionItem {
public:
    int32_t Height = 0;
    std::string Text;

    void PublishProperties(PropertyList& list) override {
        list.Integer("Height", [this] { return Height; }, [this](int32_t v) { Height = v; }, 0);
        list.String("Text", [this] { return Text; }, [this](const std::string& v) { Text = v; });
    }
};

class TSample : public TComponent {
public:
    int32_t Count = 0;
    int64_t Big = 0;
    char Sep = '/';
    bool Enabled = true;
    TSampleAlign Align = saNone;
    EnumSet<TSampleOption> Options;
    double Ratio = 0;
    TDateTime When = 0;
    std::string Caption;
    bool Hidden = false;  // stored only while Caption is not "skip"
    TSampleFont Font;
    TStringList Items;
    TOwnedCollection Rows{this, TCollection::ItemClass<TSampleRow>()};
    std::vector<uint8_t> Data;
    std::vector<TComponent*> Children;  // written after the properties
    TComponent* Parent = nullptr;       // set when read as a child
    int LoadedCalls = 0;

    void PublishProperties(PropertyList& list) override {
        TComponent::PublishProperties(list);
        list.Integer("Count", [this] { return Count; }, [this](int32_t v) {
            if (v < 0) throw ERangeError("Count must not be negative");
            Count = v;
        }, 0);
        list.Int64("Big", [this] { return Big; }, [this](int64_t v) { Big = v; }, 0);
        list.Char("Sep", [this] { return Sep; }, [this](char v) { Sep = v; }, '/');
        list.Boolean("Enabled", [this] { return Enabled; }, [this](bool v) { Enabled = v; }, true);
        list.Enumeration<TSampleAlign>("Align", [this] { return Align; }, [this](TSampleAlign v) { Align = v; },
                                       kSampleAlignNames, saNone);
        list.Set<TSampleOption>(
            "Options", [this] { return Options; }, [this](EnumSet<TSampleOption> v) { Options = v; },
            kSampleOptionNames, EnumSet<TSampleOption>());
        list.Float("Ratio", [this] { return Ratio; }, [this](double v) { Ratio = v; });
        list.Date("When", [this] { return When; }, [this](TDateTime v) { When = v; });
        list.String("Caption", [this] { return Caption; }, [this](const std::string& v) { Caption = v; });
        list.Boolean("Hidden", [this] { return Hidden; }, [this](bool v) { Hidden = v; });
        list.StoredWhen([this] { return Caption != "skip"; });
        list.Object("Font", [this] { return &Font; });
        list.Object("Items", [this] { return &Items; });
        list.Object("Rows", [this] { return &Rows; });
    }

    void DefineProperties(TFiler& filer) override {
        filer.DefineBinaryProperty(
            "Data",
            [this](TStream& s) {
                Data.resize(static_cast<size_t>(s.GetSize()));
                s.ReadBuffer(Data.data(), static_cast<int64_t>(Data.size()));
            },
            [this](TStream& s) { s.WriteBuffer(Data.data(), static_cast<int64_t>(Data.size())); }, !Data.empty());
    }

    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent*) override {
        for (TComponent* child : Children) proc(child);
    }
    void SetParentComponent(TComponent* parent) override {
        Parent = parent;
        if (auto* sample = dynamic_cast<TSample*>(parent)) sample->Children.push_back(this);
    }
    void Loaded() override {
        TComponent::Loaded();
        ++LoadedCalls;
    }
};

inline void RegisterSamples() {
    RegisterClass<TSample>("TSample");
    RegisterClass<TComponent>("TComponent");
    RegisterClass<TSampleFont>("TSampleFont");
}

}  // namespace thorn::test

#include <cstring>
#include <type_traits>
#include <vector>

#include "platform/Charset.h"
#include "platform/Collections.h"
#include "platform/Components.h"
#include "platform/Extended80.h"
#include "platform/Filer.h"
#include "platform/ReadNesting.h"

namespace {

// Components and collection items nest; their levels share the thread's
// one budget with everything a binary property's reader nests inside them.
struct Nesting : thorn::ReadNesting {
    Nesting() : ReadNesting("Form stream nested too deeply") {}
};

[[noreturn]] void InvalidValue() { throw EReadError("Invalid property value"); }
[[noreturn]] void InvalidFormat() { throw EReadError("Invalid stream format"); }

int IndexOfName(std::span<const std::string_view> names, std::string_view name) {
    for (size_t i = 0; i < names.size(); ++i)
        if (thorn::SameText(names[i], name)) return static_cast<int>(i);
    return -1;
}

// Runs body, turning what user code throws (a setter, a property reader,
// naming a component) into a read error that says where it happened.
template <typename Body>
void Reading(const std::string& where, Body&& body) {
    try {
        body();
    } catch (const EReadError&) {
        throw;
    } catch (const EFilerError&) {
        throw;
    } catch (const Exception& e) {
        throw EReadError("Error reading " + where + ": " + e.what());
    }
}

}  // namespace

void TReader::ReadBytes(void* bytes, int64_t count) {
    if (count <= 0) return;
    if (count > stream_.Remaining()) throw EReadError("Stream read error");
    stream_.ReadBuffer(bytes, count);
}

template <typename T>
T TReader::ReadPlain() {
    uint8_t bytes[sizeof(T)];
    ReadBytes(bytes, sizeof bytes);
    uint64_t value = 0;
    for (size_t i = sizeof(T); i-- > 0;) value = value << 8 | bytes[i];
    if constexpr (std::is_floating_point_v<T>) {
        using Bits = std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>;
        const auto bits = static_cast<Bits>(value);
        T real;
        std::memcpy(&real, &bits, sizeof real);
        return real;
    } else {
        return static_cast<T>(static_cast<std::make_unsigned_t<T>>(value));
    }
}

uint32_t TReader::ReadLength(int64_t unitSize) {
    const int32_t length = ReadPlain<int32_t>();
    if (length < 0) InvalidFormat();
    if (length * unitSize > stream_.Remaining()) throw EReadError("Stream read error");
    return static_cast<uint32_t>(length);
}

std::string TReader::ReadStr() {
    const auto length = ReadPlain<uint8_t>();
    std::string text(length, '\0');
    ReadBytes(text.data(), length);
    return text;
}

void TReader::ReadSignature() {
    char signature[4];
    ReadBytes(signature, 4);
    if (std::memcmp(signature, "TPF0", 4) != 0) InvalidFormat();
}

TValueType TReader::ReadValue() { return static_cast<TValueType>(ReadPlain<uint8_t>()); }

TValueType TReader::NextValue() {
    const TValueType value = ReadValue();
    stream_.Seek(-1, TSeekOrigin::soCurrent);
    return value;
}

void TReader::CheckValue(TValueType value) {
    if (ReadValue() != value) InvalidValue();
}

bool TReader::EndOfList() { return NextValue() == vaNull; }

int32_t TReader::ReadInteger() {
    switch (ReadValue()) {
    case vaInt8: return ReadPlain<int8_t>();
    case vaInt16: return ReadPlain<int16_t>();
    case vaInt32: return ReadPlain<int32_t>();
    default: InvalidValue();
    }
}

int64_t TReader::ReadInt64() {
    if (NextValue() != vaInt64) return ReadInteger();
    ReadValue();
    return ReadPlain<int64_t>();
}

bool TReader::ReadBoolean() {
    switch (ReadValue()) {
    case vaFalse: return false;
    case vaTrue: return true;
    default: InvalidValue();
    }
}

char TReader::ReadChar() {
    CheckValue(vaString);
    if (ReadPlain<uint8_t>() != 1) InvalidValue();
    return static_cast<char>(ReadPlain<uint8_t>());
}

std::string TReader::ReadString() {
    switch (ReadValue()) {
    case vaString: {
        const auto length = ReadPlain<uint8_t>();
        std::string text(length, '\0');
        ReadBytes(text.data(), length);
        return text;
    }
    case vaLString: {
        std::string text(ReadLength(1), '\0');
        ReadBytes(text.data(), static_cast<int64_t>(text.size()));
        return text;
    }
    case vaUTF8String: {
        std::string utf8(ReadLength(1), '\0');
        ReadBytes(utf8.data(), static_cast<int64_t>(utf8.size()));
        auto text = thorn::Utf8ToWindows1252(utf8);
        if (!text) InvalidValue();
        return *text;
    }
    case vaWString: {
        const uint32_t units = ReadLength(2);
        std::u32string wide;
        for (uint32_t i = 0; i < units; ++i) {
            char32_t unit = ReadPlain<uint16_t>();
            if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units) {
                const char32_t low = ReadPlain<uint16_t>();
                ++i;
                if (low < 0xDC00 || low >= 0xE000) InvalidValue();
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            }
            wide += unit;
        }
        auto text = thorn::ToWindows1252(wide);
        if (!text) InvalidValue();
        return *text;
    }
    default: InvalidValue();
    }
}

std::string TReader::ReadIdent() {
    switch (ReadValue()) {
    case vaIdent: return ReadStr();
    case vaFalse: return "False";
    case vaTrue: return "True";
    case vaNil: return "nil";
    case vaNull: return "Null";
    default: InvalidValue();
    }
}

double TReader::ReadFloat() {
    switch (NextValue()) {
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaInt64: return static_cast<double>(ReadInt64());
    default: break;
    }
    switch (ReadValue()) {
    case vaExtended: {
        std::array<uint8_t, 10> bytes;
        ReadBytes(bytes.data(), 10);
        return thorn::FromExtended80(bytes);
    }
    case vaDouble:
    case vaDate: return ReadPlain<double>();
    case vaSingle: return ReadPlain<float>();
    case vaCurrency: return static_cast<double>(ReadPlain<int64_t>()) / 10000;
    default: InvalidValue();
    }
}

void TReader::ReadCollection(TCollection& collection) {
    thorn::WithinUpdate(collection, [&] {
        collection.Clear();
        while (!EndOfList()) {
            // An item's properties may hold collections again: an item is a
            // level, an empty collection none (the writer writes every
            // collection, even an empty one).
            Nesting nested;
            // An item may carry its position first; items are read in order anyway.
            if (const TValueType next = NextValue(); next == vaInt8 || next == vaInt16 || next == vaInt32)
                ReadInteger();
            TCollectionItem* item = collection.Add();
            ReadListBegin();
            while (!EndOfList()) ReadProperty(*item);
            ReadListEnd();
        }
        ReadListEnd();
    });
}

void TReader::ReadPropertyValue(const thorn::PropertyInfo& p) {
    using thorn::PropertyKind;
    switch (p.kind) {
    case PropertyKind::Integer: p.setOrdinal(ReadInteger()); return;
    case PropertyKind::Int64: p.setOrdinal(ReadInt64()); return;
    case PropertyKind::Char: p.setOrdinal(static_cast<unsigned char>(ReadChar())); return;
    case PropertyKind::Boolean: p.setOrdinal(ReadBoolean() ? 1 : 0); return;
    case PropertyKind::Enumeration: {
        const int index = IndexOfName(p.names, ReadIdent());
        if (index < 0) InvalidValue();
        p.setOrdinal(index);
        return;
    }
    case PropertyKind::Set: {
        CheckValue(vaSet);
        uint64_t bits = 0;
        for (std::string member = ReadStr(); !member.empty(); member = ReadStr()) {
            const int index = IndexOfName(p.names, member);
            if (index < 0 || index >= 64) InvalidValue();
            bits |= uint64_t{1} << index;
        }
        p.setOrdinal(static_cast<int64_t>(bits));
        return;
    }
    case PropertyKind::Float:
    case PropertyKind::Date: p.setFloat(ReadFloat()); return;
    case PropertyKind::String: p.setString(ReadString()); return;
    case PropertyKind::Object: {
        auto* collection = dynamic_cast<TCollection*>(p.getObject());
        if (!collection) InvalidValue();
        CheckValue(vaCollection);
        ReadCollection(*collection);
        return;
    }
    }
}

void TReader::ReadProperty(TPersistent& instance) {
    const std::string path = ReadStr();
    auto missing = [&] { return EReadError("Property " + path + " does not exist"); };
    // "Font.Size": the nested objects first, then the property of the last.
    TPersistent* object = &instance;
    std::string_view rest = path;
    for (size_t dot = rest.find('.'); dot != std::string_view::npos; dot = rest.find('.')) {
        thorn::PropertyList list;
        object->PublishProperties(list);
        const thorn::PropertyInfo* p = list.Find(rest.substr(0, dot));
        if (!p || p->kind != thorn::PropertyKind::Object || !(object = p->getObject())) throw missing();
        rest.remove_prefix(dot + 1);
    }
    thorn::PropertyList list;
    object->PublishProperties(list);
    const std::string where = current_ + "." + path;
    if (const thorn::PropertyInfo* p = list.Find(rest); p && p->Writable()) {
        Reading(where, [&] { ReadPropertyValue(*p); });
        return;
    }
    wanted_ = std::string(rest);
    found_ = false;
    Reading(where, [&] { object->DefineProperties(*this); });
    wanted_.clear();
    if (!found_) throw missing();
}

void TReader::DefineProperty(std::string_view name, const std::function<void(TReader&)>& read,
                             const std::function<void(TWriter&)>&, bool) {
    if (found_ || !read || !thorn::SameText(name, wanted_)) return;
    found_ = true;
    read(*this);
}

void TReader::DefineBinaryProperty(std::string_view name, const std::function<void(TStream&)>& read,
                                   const std::function<void(TStream&)>&, bool) {
    if (found_ || !read || !thorn::SameText(name, wanted_)) return;
    found_ = true;
    // No level of its own: plain bytes nest nothing, and whatever the
    // property's reader nests (a node stream, components) takes its levels.
    CheckValue(vaBinary);
    std::vector<uint8_t> bytes(ReadLength(1));
    ReadBytes(bytes.data(), static_cast<int64_t>(bytes.size()));
    TMemoryStream data(bytes);
    // One copy of the bytes is enough while the property's reader runs,
    // which may read more such properties nested inside them.
    std::vector<uint8_t>().swap(bytes);
    read(data);
}

std::unique_ptr<TComponent> TReader::ReadComponent(TComponent* owner, TComponent* parent) {
    Nesting nested;
    if (const auto prefix = static_cast<uint8_t>(NextValue()); (prefix & 0xF0) == 0xF0) {
        ReadValue();
        // Flag 2: the child's position in its parent follows; children are
        // read in order, so it is not needed.
        if (prefix & 0x02) ReadInteger();
    }
    const std::string className = ReadStr();
    const std::string name = ReadStr();
    std::unique_ptr<TComponent> component = FindClass(className).Create<TComponent>();
    if (!component) throw EReadError("Class " + className + " is not a component");
    TComponent* const raw = component.get();
    const std::string outer = std::exchange(current_, name.empty() ? className : name);
    Reading(current_, [&] {
        raw->SetName(name);
        if (owner) {
            owner->InsertComponent(std::move(component));
            raw->SetParentComponent(parent);
        } else {
            raw->Loading();
        }
    });
    while (!EndOfList()) ReadProperty(*raw);
    ReadListEnd();
    while (!EndOfList()) ReadComponent(owner ? owner : raw, raw);
    ReadListEnd();
    current_ = outer;
    return component;
}

std::unique_ptr<TComponent> TReader::ReadRootComponent() {
    ReadSignature();
    std::unique_ptr<TComponent> root = ReadComponent(nullptr, nullptr);
    root->Loaded();
    return root;
}

namespace thorn {

std::unique_ptr<TComponent> ReadComponent(TStream& stream) { return TReader(stream).ReadRootComponent(); }

}  // namespace thorn

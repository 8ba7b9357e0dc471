#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "platform/Collections.h"
#include "platform/Components.h"
#include "platform/Extended80.h"
#include "platform/Filer.h"

void TWriter::WriteBytes(const void* bytes, size_t count) { stream_.WriteBuffer(bytes, static_cast<int64_t>(count)); }

void TWriter::WriteValue(TValueType value) {
    const auto byte = static_cast<uint8_t>(value);
    WriteBytes(&byte, 1);
}

void TWriter::WriteSignature() { WriteBytes("TPF0", 4); }

void TWriter::WriteStr(std::string_view text) {
    const auto length = static_cast<uint8_t>(std::min<size_t>(text.size(), 255));
    WriteBytes(&length, 1);
    WriteBytes(text.data(), length);
}

namespace {

template <typename T>
void Put(TWriter& writer, TStream& stream, TValueType tag, T value) {
    writer.WriteValue(tag);
    uint8_t bytes[sizeof(T)];
    for (size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i));
    stream.WriteBuffer(bytes, sizeof(T));
}

template <typename T>
bool Fits(int64_t value) {
    return value >= std::numeric_limits<T>::min() && value <= std::numeric_limits<T>::max();
}

}  // namespace

void TWriter::WriteInteger(int64_t value) {
    if (Fits<int8_t>(value)) Put(*this, stream_, vaInt8, static_cast<int8_t>(value));
    else if (Fits<int16_t>(value)) Put(*this, stream_, vaInt16, static_cast<int16_t>(value));
    else if (Fits<int32_t>(value)) Put(*this, stream_, vaInt32, static_cast<int32_t>(value));
    else Put(*this, stream_, vaInt64, value);
}

void TWriter::WriteBoolean(bool value) { WriteValue(value ? vaTrue : vaFalse); }

void TWriter::WriteChar(char value) { WriteString(std::string_view(&value, 1)); }

void TWriter::WriteString(std::string_view value) {
    if (value.size() <= 255) {
        WriteValue(vaString);
        WriteStr(value);
        return;
    }
    if (value.size() > std::numeric_limits<int32_t>::max()) throw EWriteError("String too long for a form stream");
    Put(*this, stream_, vaLString, static_cast<uint32_t>(value.size()));
    WriteBytes(value.data(), value.size());
}

void TWriter::WriteIdent(std::string_view ident) {
    if (ident == "False") return WriteValue(vaFalse);
    if (ident == "True") return WriteValue(vaTrue);
    WriteValue(vaIdent);
    WriteStr(ident);
}

void TWriter::WriteFloat(double value) {
    WriteValue(vaExtended);
    const auto bytes = thorn::ToExtended80(value);
    WriteBytes(bytes.data(), bytes.size());
}

void TWriter::WriteDate(TDateTime value) {
    uint64_t bits = 0;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    Put(*this, stream_, vaDate, bits);
}

void TWriter::WriteCollection(TCollection& collection) {
    WriteValue(vaCollection);
    // Items name their properties from the top again.
    const std::string outer = std::exchange(path_, std::string());
    for (int i = 0; i < collection.GetCount(); ++i) {
        WriteListBegin();
        WriteProperties(*collection.GetItem(i));
        WriteListEnd();
    }
    path_ = outer;
    WriteListEnd();
}

void TWriter::WritePropertyName(std::string_view name) { WriteStr(path_ + std::string(name)); }

void TWriter::WriteProperty(const thorn::PropertyInfo& p) {
    using thorn::PropertyKind;
    if (!p.Writable() || (p.stored && !p.stored())) return;
    switch (p.kind) {
    case PropertyKind::Integer:
    case PropertyKind::Int64:
    case PropertyKind::Char:
    case PropertyKind::Boolean:
    case PropertyKind::Enumeration:
    case PropertyKind::Set: {
        const int64_t value = p.getOrdinal();
        if (p.defaultOrdinal && *p.defaultOrdinal == value) return;
        WritePropertyName(p.name);
        if (p.kind == PropertyKind::Char) {
            WriteChar(static_cast<char>(value));
        } else if (p.kind == PropertyKind::Boolean) {
            WriteBoolean(value != 0);
        } else if (p.kind == PropertyKind::Enumeration) {
            if (value < 0 || static_cast<uint64_t>(value) >= p.names.size())
                throw EWriteError("Invalid value of property " + p.name);
            WriteIdent(p.names[static_cast<size_t>(value)]);
        } else if (p.kind == PropertyKind::Set) {
            WriteValue(vaSet);
            for (size_t i = 0; i < p.names.size() && i < 64; ++i)
                if ((static_cast<uint64_t>(value) >> i) & 1) WriteStr(p.names[i]);
            WriteStr("");
        } else {
            WriteInteger(value);
        }
        return;
    }
    case PropertyKind::Float:
    case PropertyKind::Date: {
        const double value = p.getFloat();
        if (value == 0) return;
        WritePropertyName(p.name);
        if (p.kind == PropertyKind::Date) WriteDate(value);
        else WriteFloat(value);
        return;
    }
    case PropertyKind::String: {
        const std::string value = p.getString();
        if (value.empty() && !p.storeEmpty) return;
        WritePropertyName(p.name);
        WriteString(value);
        return;
    }
    case PropertyKind::Object: {
        TPersistent* object = p.getObject();
        if (!object) return;
        if (auto* collection = dynamic_cast<TCollection*>(object)) {
            WritePropertyName(p.name);
            WriteCollection(*collection);
            return;
        }
        const std::string outer = path_;
        path_ += p.name + ".";
        WriteProperties(*object);
        path_ = outer;
        return;
    }
    }
}

void TWriter::WriteProperties(TPersistent& instance) {
    thorn::PropertyList list;
    instance.PublishProperties(list);
    for (const thorn::PropertyInfo& p : list.Items()) WriteProperty(p);
    instance.DefineProperties(*this);
}

void TWriter::DefineProperty(std::string_view name, const std::function<void(TReader&)>&,
                             const std::function<void(TWriter&)>& write, bool hasData) {
    if (!hasData || !write) return;
    WritePropertyName(name);
    write(*this);
}

void TWriter::DefineBinaryProperty(std::string_view name, const std::function<void(TStream&)>&,
                                   const std::function<void(TStream&)>& write, bool hasData) {
    if (!hasData || !write) return;
    TMemoryStream bytes;
    write(bytes);
    if (bytes.GetSize() > std::numeric_limits<int32_t>::max()) throw EWriteError("Binary property too large");
    WritePropertyName(name);
    Put(*this, stream_, vaBinary, static_cast<uint32_t>(bytes.GetSize()));
    WriteBytes(bytes.Memory().data(), bytes.Memory().size());
}

void TWriter::WriteComponent(TComponent& component) {
    const std::string className = thorn::ClassName(component);
    if (className.empty())
        throw EWriteError("The class of component " + component.GetName() + " is not registered");
    WriteStr(className);
    WriteStr(component.GetName());
    const std::string outer = std::exchange(path_, std::string());
    TComponent* const outerRoot = root_;
    if (!root_) root_ = &component;
    WriteProperties(component);
    WriteListEnd();
    component.GetChildren([this](TComponent* child) { WriteComponent(*child); }, root_);
    WriteListEnd();
    root_ = outerRoot;
    path_ = outer;
}

void TWriter::WriteRootComponent(TComponent& component) {
    WriteSignature();
    WriteComponent(component);
}

namespace thorn {

void WriteComponent(TStream& stream, TComponent& component) { TWriter(stream).WriteRootComponent(component); }

}  // namespace thorn

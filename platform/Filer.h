#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/ClassRegistry.h"
#include "platform/DateTime.h"
#include "platform/Properties.h"
#include "platform/Streams.h"

class TCollection;
class TComponent;
class TReader;
class TWriter;

// Component streams in the binary form format. A stream starts with the
// signature "TPF0"; a component is written as
//   [0xF0 | flags, child position if flag 2] class name, component name
//   (each a length byte and the characters), its properties, 0, its child
//   components (each written the same way), 0;
// a property as its name (length byte, characters; "Font.Size" for a
// property of a nested object) followed by one value: a tag byte below and
// the value's bytes, little-endian.
enum TValueType : uint8_t {
    vaNull = 0,        // end of a list
    vaList = 1,        // values up to vaNull
    vaInt8 = 2,        // 1 byte
    vaInt16 = 3,       // 2 bytes
    vaInt32 = 4,       // 4 bytes
    vaExtended = 5,    // 10-byte x87 extended real
    vaString = 6,      // length byte, characters
    vaIdent = 7,       // length byte, characters: an enumeration member
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,     // 32-bit length, bytes
    vaSet = 11,        // member names (length byte, characters) up to an empty one
    vaLString = 12,    // 32-bit length, characters
    vaNil = 13,
    vaCollection = 14, // items, each [integer order] vaList properties vaNull; then vaNull
    vaSingle = 15,     // 4-byte real
    vaCurrency = 16,   // 8-byte integer of ten-thousandths
    vaDate = 17,       // 8-byte real date-time
    vaWString = 18,    // 32-bit count, UTF-16 units
    vaInt64 = 19,      // 8 bytes
    vaUTF8String = 20, // 32-bit length, UTF-8 bytes
    vaDouble = 21,     // 8-byte real
};

// What the writer and the reader share: the stream, and the properties an
// object streams in its own way. An object names those from
// TPersistent::DefineProperties:
//
//     void TrmTreeNonViewNodes::DefineProperties(TFiler& filer) {
//         filer.DefineBinaryProperty("Data", [this](TStream& s) { ReadData(s); },
//                                    [this](TStream& s) { WriteData(s); }, GetCount() > 0);
//     }
//
// The writer calls write (when hasData) to store the property; the reader
// calls read when the stream holds a property of that name. A binary
// property's read gets a stream holding exactly the property's bytes.
class TFiler : public TObject {
public:
    explicit TFiler(TStream& stream) : stream_(stream) {}
    TStream& Stream() const { return stream_; }

    virtual void DefineProperty(std::string_view name, const std::function<void(TReader&)>& read,
                                const std::function<void(TWriter&)>& write, bool hasData) = 0;
    virtual void DefineBinaryProperty(std::string_view name, const std::function<void(TStream&)>& read,
                                      const std::function<void(TStream&)>& write, bool hasData) = 0;

protected:
    TStream& stream_;
};

class TWriter : public TFiler {
public:
    using TFiler::TFiler;

    void WriteSignature();
    // The signature, then the component.
    void WriteRootComponent(TComponent& component);
    // Header, published and defined properties, child components. The
    // component's class must be registered (EWriteError otherwise).
    void WriteComponent(TComponent& component);
    // The published properties that are stored, then the defined ones.
    void WriteProperties(TPersistent& instance);

    void WriteValue(TValueType value);
    void WriteListBegin() { WriteValue(vaList); }
    void WriteListEnd() { WriteValue(vaNull); }
    // The smallest of vaInt8, vaInt16, vaInt32 and vaInt64 that holds it.
    void WriteInteger(int64_t value);
    void WriteBoolean(bool value);
    void WriteChar(char value);
    // vaString up to 255 characters, vaLString beyond.
    void WriteString(std::string_view value);
    void WriteIdent(std::string_view ident);
    void WriteFloat(double value);  // vaExtended
    void WriteDate(TDateTime value);
    void WriteCollection(TCollection& collection);
    // A length byte and up to 255 characters, without tag.
    void WriteStr(std::string_view text);

    void DefineProperty(std::string_view name, const std::function<void(TReader&)>& read,
                        const std::function<void(TWriter&)>& write, bool hasData) override;
    void DefineBinaryProperty(std::string_view name, const std::function<void(TStream&)>& read,
                              const std::function<void(TStream&)>& write, bool hasData) override;

private:
    void WriteProperty(const thorn::PropertyInfo& property);
    void WritePropertyName(std::string_view name);
    void WriteBytes(const void* bytes, size_t count);

    std::string path_;  // "Font." while the properties of a nested object are written
    TComponent* root_ = nullptr;  // the component written first
};

// Reads what TWriter writes. Every length and count is checked against the
// bytes the stream has left before anything is allocated, nesting is
// bounded (by the one budget of platform/ReadNesting.h), and anything that does not fit the format or the object read into
// throws EReadError ("Stream read error" for a stream that ends early,
// "Invalid property value", "Property X does not exist", "Invalid stream
// format"); an unknown class throws EClassNotFound. Exceptions a setter
// throws come out as EReadError "Error reading Name.Property: message".
class TReader : public TFiler {
public:
    using TFiler::TFiler;

    void ReadSignature();
    // The signature, then a component made by its class name, with no owner
    // (its child components are owned by it). Loaded runs on every
    // component read, once all of them are read.
    std::unique_ptr<TComponent> ReadRootComponent();

    TValueType NextValue();
    TValueType ReadValue();
    void CheckValue(TValueType value);
    bool EndOfList();
    void ReadListBegin() { CheckValue(vaList); }
    void ReadListEnd() { CheckValue(vaNull); }
    // vaInt8, vaInt16 or vaInt32.
    int32_t ReadInteger();
    // Any integer tag.
    int64_t ReadInt64();
    bool ReadBoolean();
    char ReadChar();
    // vaString, vaLString, vaUTF8String or vaWString, as Windows-1252 (a
    // character outside it is refused).
    std::string ReadString();
    // vaIdent, or vaFalse, vaTrue, vaNil, vaNull as "False", "True", "nil", "Null".
    std::string ReadIdent();
    // Any real or integer tag.
    double ReadFloat();
    TDateTime ReadDate() { return ReadFloat(); }
    void ReadCollection(TCollection& collection);
    // One property (name and value) into instance.
    void ReadProperty(TPersistent& instance);
    std::string ReadStr();

    void DefineProperty(std::string_view name, const std::function<void(TReader&)>& read,
                        const std::function<void(TWriter&)>& write, bool hasData) override;
    void DefineBinaryProperty(std::string_view name, const std::function<void(TStream&)>& read,
                              const std::function<void(TStream&)>& write, bool hasData) override;

private:
    std::unique_ptr<TComponent> ReadComponent(TComponent* owner, TComponent* parent);
    void ReadPropertyValue(const thorn::PropertyInfo& property);
    void ReadBytes(void* bytes, int64_t count);
    // A count of bytes that must still be in the stream.
    uint32_t ReadLength(int64_t unitSize);
    template <typename T>
    T ReadPlain();

    std::string wanted_;  // the defined property being looked for
    bool found_ = false;
    std::string current_;  // the component being read, for messages
};

namespace thorn {

// "TPF0" and the component, as a form stream holds one.
void WriteComponent(TStream& stream, TComponent& component);
// A component read from a form stream (see TReader::ReadRootComponent).
std::unique_ptr<TComponent> ReadComponent(TStream& stream);

}  // namespace thorn

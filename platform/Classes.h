#pragma once

#include <functional>
#include <stdexcept>
#include <string>

// The base object model that the editor's classes stand on: persistent
// objects that can copy one another, notification events and the exception
// family.

class TFiler;
namespace thorn {
class PropertyList;
}

class TObject {
public:
    virtual ~TObject() = default;
};

// An event handler called with the object that raised it.
using TNotifyEvent = std::function<void(TObject* sender)>;

class TPersistent : public TObject {
public:
    // Copies source into this object. The default asks the source to copy
    // itself into this one; a class that knows neither way throws EConvertError.
    virtual void Assign(const TPersistent& source);

    // What a form stream writes of this object and reads back into it: the
    // published properties, base class first (platform/Properties.h), and
    // properties streamed in the object's own way (platform/Filer.h).
    virtual void PublishProperties(thorn::PropertyList& list) {}
    virtual void DefineProperties(TFiler& filer) {}

protected:
    virtual void AssignTo(TPersistent& dest) const;
};

// The platform's exception family: a message for the user.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

class EConvertError : public Exception {
    using Exception::Exception;
};
class ERangeError : public Exception {
    using Exception::Exception;
};
class EInvalidOperation : public Exception {
    using Exception::Exception;
};
class EOutOfResources : public Exception {
    using Exception::Exception;
};
class EStreamError : public Exception {
    using Exception::Exception;
};
class EReadError : public EStreamError {
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
    using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
    using EStreamError::EStreamError;
};
// A picture file that cannot be read: damaged, truncated, hostile or of an
// unknown format.
class EInvalidGraphic : public Exception {
    using Exception::Exception;
};

namespace thorn {

// Runs body between target.BeginUpdate() and target.EndUpdate(), closing the
// update on every way out, exceptions included.
template <typename Updatable, typename Body>
void WithinUpdate(Updatable& target, Body&& body) {
    target.BeginUpdate();
    try {
        body();
    } catch (...) {
        target.EndUpdate();
        throw;
    }
    target.EndUpdate();
}

}  // namespace thorn

// Aborts an operation silently: the application's handler shows no message.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
    explicit EAbort(const std::string& message) : Exception(message) {}
};

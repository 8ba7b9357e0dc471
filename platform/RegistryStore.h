#pragma once

#include <functional>
#include <string>

#include "platform/RegistryFile.h"

// The registry's file (thorn::RegistryFile), shared by every TRegistry of the
// program and by other programs. Reads take the file as it is now; a file
// replaced by another program is seen at once, and a file that did not
// change is not parsed again. Changes are made one at a time across programs
// (each holds a lock on "registry.lock" beside the file from its read to its
// write) and replace the file in one step, so no change is lost and no
// reader sees half a file.
namespace thorn::registry {

// Calls read with the store as its file holds it now: empty when the file is
// missing, cannot be read or is damaged. The tree is not to be kept.
void Read(const std::function<void(const Key& top)>& read);

// Calls change with the store as its file holds it now, the store locked
// against every other writer; when change answers true the result is
// written, and Change answers true. change answers false only when it left
// the tree as it was. A damaged file is kept beside the new one under another
// name ("registry.damaged") before anything is written, with one warning.
// Throws EStreamError saying why when the store cannot be locked or written,
// when its file exists but cannot be read, or when the result would be
// larger than kMaxFileSize; the file is then as it was.
bool Change(const std::function<bool(Key& top)>& change);

}  // namespace thorn::registry

namespace thorn {

using RegistryWarningSink = std::function<void(const std::string& message)>;

// Replaces where the store's warnings go (the standard error stream at
// first); an empty function silences them. Answers the sink it replaced.
// The sink is called with no lock of the store held, so it may use the
// registry itself.
RegistryWarningSink SetRegistryWarningSink(RegistryWarningSink sink);

}  // namespace thorn

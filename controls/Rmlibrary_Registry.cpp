#include "controls/Rmlibrary_Registry.h"

#include "gui/Application.h"

namespace {

std::string SubKey(std::string_view key, std::string_view kind, const TCustomForm& form) {
    return std::string(key) + "\\" + std::string(kind) + "\\" + form.GetName();
}

void Warn(std::string_view text) { Application->MessageBox(text, "Warning", MB_OK | MB_ICONWARNING); }

// The integer name of the open key into value, when it is there.
bool ReadInto(const TRegistry& registry, std::string_view name, int& value) {
    if (!registry.ValueExists(name)) return false;
    value = registry.ReadInteger(name);
    return true;
}

}  // namespace

void WriteRegString(HKEY root, std::string_view key, std::string_view name, std::string_view value) {
    TRegistry registry;
    registry.SetRootKey(root);
    if (registry.OpenKey(key, true)) registry.WriteString(name, value);
}

std::string ReadRegString(HKEY root, std::string_view key, std::string_view name, std::string_view fallback) {
    TRegistry registry;
    registry.SetRootKey(root);
    if (!registry.OpenKeyReadOnly(key) || !registry.ValueExists(name)) return std::string(fallback);
    return registry.ReadString(name);
}

void SaveDialogPosition(const TCustomForm& form, std::string_view key, HKEY root) {
    TRegistry registry;
    registry.SetRootKey(root);
    if (!registry.OpenKey(SubKey(key, "Dialog", form), true)) return;
    registry.WriteInteger("Top", form.GetTop());
    registry.WriteInteger("Left", form.GetLeft());
    registry.WriteInteger("Height", form.GetHeight());
    registry.WriteInteger("Width", form.GetWidth());
}

bool LoadDialogPosition(TCustomForm& form, std::string_view key, HKEY root) {
    TRegistry registry;
    registry.SetRootKey(root);
    if (!registry.OpenKeyReadOnly(SubKey(key, "Dialog", form))) return false;
    int top = form.GetTop(), left = form.GetLeft(), height = form.GetHeight(), width = form.GetWidth();
    // Every value is read, so that each one present counts.
    const bool hasTop = ReadInto(registry, "Top", top);
    const bool hasLeft = ReadInto(registry, "Left", left);
    const bool hasHeight = ReadInto(registry, "Height", height);
    const bool hasWidth = ReadInto(registry, "Width", width);
    const bool all = hasTop && hasLeft && hasHeight && hasWidth;
    form.SetBounds(left, top, width, height);
    return all;
}

void SaveFormState(const TCustomForm& form, std::string_view key, HKEY root) {
    try {
        TRegistry registry;
        registry.SetRootKey(root);
        if (!registry.OpenKey(SubKey(key, "Form", form), true)) return;
        // A minimized form keeps its normal bounds, which are the ones to
        // restore it to.
        if (form.GetWindowState() != wsMaximized) {
            registry.WriteInteger("Left", form.GetLeft());
            registry.WriteInteger("Top", form.GetTop());
            registry.WriteInteger("Width", form.GetWidth());
            registry.WriteInteger("Height", form.GetHeight());
        }
        registry.WriteInteger("WinState", static_cast<int>(form.GetWindowState()));
    } catch (const Exception&) {
        Warn("Error occured while saving window state.");
    }
}

void LoadFormState(TCustomForm& form, std::string_view key, bool maximizeByDefault, bool restoreState, HKEY root) {
    try {
        TRegistry registry;
        registry.SetRootKey(root);
        if (!registry.OpenKeyReadOnly(SubKey(key, "Form", form))) {
            form.SetWindowState(maximizeByDefault ? wsMaximized : wsNormal);
            return;
        }
        int left = form.GetLeft(), top = form.GetTop(), width = form.GetWidth(), height = form.GetHeight();
        ReadInto(registry, "Left", left);
        ReadInto(registry, "Top", top);
        ReadInto(registry, "Width", width);
        ReadInto(registry, "Height", height);
        form.SetBounds(left, top, width, height);
        int state = 0;
        if (restoreState && ReadInto(registry, "WinState", state) && state >= wsNormal && state <= wsMaximized)
            form.SetWindowState(static_cast<TWindowState>(state));
    } catch (const Exception&) {
        Warn("Error occured while restoring window state.");
    }
}

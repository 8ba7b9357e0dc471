#pragma once

#include <string>
#include <string_view>

#include "gui/Forms.h"
#include "platform/Registry.h"

// Registry routines of the controls library: single strings, and the place
// and state of windows kept under a key of the caller's.

// Writes value as the string name of key, made when missing; nothing is
// written when the key cannot be opened.
void WriteRegString(HKEY root, std::string_view key, std::string_view name, std::string_view value);
// The string name of key, or fallback when the key or the value is missing.
std::string ReadRegString(HKEY root, std::string_view key, std::string_view name, std::string_view fallback);

// The form's bounds as the integers "Top", "Left", "Height" and "Width" of
// key\Dialog\<form name>.
void SaveDialogPosition(const TCustomForm& form, std::string_view key, HKEY root);
// Gives the form the bounds saved for it; each value present replaces the
// form's own. Answers whether all four were there; a missing key changes
// nothing.
bool LoadDialogPosition(TCustomForm& form, std::string_view key, HKEY root);

// The form's window state as "WinState" (0 normal, 1 minimized, 2 maximized)
// of key\Form\<form name>, and, unless it is maximized, its bounds as
// "Left", "Top", "Width" and "Height". A failure is reported in a warning box.
void SaveFormState(const TCustomForm& form, std::string_view key, HKEY root);
// Gives the form the bounds saved for it and, when restoreState, its saved
// window state. Without a saved key the form is maximized when
// maximizeByDefault, else normal. A failure is reported in a warning box.
void LoadFormState(TCustomForm& form, std::string_view key, bool maximizeByDefault, bool restoreState, HKEY root);

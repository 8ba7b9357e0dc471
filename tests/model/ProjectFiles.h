#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "RecordingEditor.h"
#include "model/GameData.h"
#include "model/mapproject.h"
#include "support/SourceTree.h"

namespace thorn::test {

// The start folder the repository ships, and its game catalogue.
inline const std::filesystem::path kStartFolder = SourceDir() / "startdir";

// Opens the start folder's "pw.xml" as the editor's game-data document.
inline void OpenStartCatalogue(RecordingEditor& editor) {
    editor.gameData = thorn::OpenGameData(kStartFolder / "pw.xml");
    editor.startFolder = kStartFolder;
}

// Bytes laid out field by field, little-endian, for expected file contents.
class ByteLayout {
public:
    ByteLayout& U8(uint32_t v) {
        bytes_.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    ByteLayout& U16(uint32_t v) { return U8(v).U8(v >> 8); }
    ByteLayout& U32(uint32_t v) { return U16(v).U16(v >> 16); }
    // Characters, then one NUL.
    ByteLayout& Text(std::string_view text) {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        return U8(0);
    }
    size_t Size() const { return bytes_.size(); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

// A project file opened as the open command does it: reset, a new mission on
// no picture (fresh game data), then the file. The editor keeps one project
// at a time, so the file opens in the project that wrote it; the messages
// the editor showed before are forgotten.
class OpenedProject {
public:
    OpenedProject(CMapProject& opening, RecordingEditor& showing) : project(opening), editor(showing) {
        editor.errors.clear();
    }

    int Open(const std::filesystem::path& file) {
        project.Reset();
        project.NewMissionFromImage();
        const int loaded = project.LoadProject(file);
        project.HideProgress();
        return loaded;
    }

    CMapProject& project;
    RecordingEditor& editor;
};

// Layers of the world view without a tag record: the neighbour-link overlay.
inline int UntaggedLayers(const CMapProject& project, RecordingEditor& editor) {
    int count = 0;
    TLayerCollection& layers = *editor.view->GetLayers();
    for (int i = 0; i < layers.GetCount(); ++i) count += project.TagOf(layers.GetItem(i)) == nullptr;
    return count;
}

}  // namespace thorn::test

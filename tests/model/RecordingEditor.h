#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "bitmap/Pix32.h"
#include "model/EditorLink.h"
#include "model/Settings.h"
#include "model/Textures.h"

namespace thorn::test {

// The editor as the project sees it, for tests: records every call in
// order, answers questions from a script (an unscripted question fails the
// test with its text), and owns a world bitmap, settings and texture strips.
class RecordingEditor final : public EditorLink {
public:
    struct WarningRow {
        std::string caption;
        const void* data = nullptr;
        int32_t image = 0;
    };

    CSettings& Settings() override { return settings; }
    const CTextures& Texture(TextureStrip strip) override { return textures[static_cast<int>(strip)]; }
    pugi::xml_node GameDataElement() override { return gameData.document_element(); }

    void ShowProgress(std::string_view caption, int32_t max) override {
        Record("ShowProgress " + std::string(caption));
        progressShown = true;
        progressCaptions.emplace_back(caption);
        progressMax = max;
    }
    void SetProgress(int32_t position) override {
        progressPosition = position;
        if (throwAtProgress && --throwAtProgress == 0) throw std::runtime_error("stopped in a long loop");
    }
    void HideProgress() override {
        Record("HideProgress");
        progressShown = false;
    }

    void ShowError(std::string_view text) override { Record("Error " + std::string(text)); errors.emplace_back(text); }
    MessageAnswer Ask(std::string_view text, std::string_view caption, MessageButtons) override {
        Record("Ask " + std::string(caption) + ": " + std::string(text));
        if (answers.empty()) {
            ADD_FAILURE() << "unscripted question: " << text;
            return MessageAnswer::Cancel;
        }
        MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void DeselectInspector(Inspector grid) override { Record("Deselect " + Name(grid)); }
    void ClearInspector(Inspector grid) override { Record("ClearItems " + Name(grid)); }
    void ClearProvinceList() override { Record("Clear LVProvinces"); }
    void ClearPlayerList() override { Record("Clear LVPlayers"); }
    void ClearEventList() override { Record("Clear LVEvents"); }
    void ClearSelection() override { Record("ClearSelection"); }
    void StopProvinceBlink() override { Record("StopProvinceBlink"); }
    void RefreshVictoryConds() override { Record("RefreshVictoryConds"); }
    void RefreshLoseConds() override { Record("RefreshLoseConds"); }
    void UpdatePlayerInspector() override { Record("UpdatePlayerInspector"); }
    void BuildCastleLegend() override { Record("BuildCastleLegend"); }

    void SetWarningRowCount(int32_t count) override { warningRows.resize(static_cast<size_t>(count)); }
    void SetWarningRow(int32_t i, std::string_view caption, const void* data, int32_t image) override {
        warningRows.at(static_cast<size_t>(i)) = {std::string(caption), data, image};
    }

    TBitmap32& WorldBitmap() override { return world; }
    void SetWorldViewSize(int32_t width, int32_t height) override {
        Record("SetWorldViewSize " + std::to_string(width) + "x" + std::to_string(height));
        world.SetSize(width, height);
    }
    void RemoveAllWorldLayers() override { Record("RemoveAllWorldLayers"); }
    void ScrollWorldViewTo(int32_t x, int32_t y) override {
        Record("ScrollTo " + std::to_string(x) + "," + std::to_string(y));
    }
    float WorldViewScale() override { return 1.0f; }
    TPoint WorldViewCentre() override { return {0, 0}; }

    // Calls whose record starts with the prefix.
    std::vector<std::string> CallsStartingWith(std::string_view prefix) const {
        std::vector<std::string> found;
        for (const std::string& call : calls)
            if (call.rfind(prefix, 0) == 0) found.push_back(call);
        return found;
    }

    CSettings settings;
    CTextures textures[3];
    TBitmap32 world;
    pugi::xml_document gameData;
    std::vector<std::string> calls;
    std::deque<MessageAnswer> answers;
    std::vector<std::string> errors;
    std::vector<std::string> progressCaptions;
    std::vector<WarningRow> warningRows;
    bool progressShown = false;
    int32_t progressMax = 0;
    int32_t progressPosition = 0;
    // When non-zero, the SetProgress call of that number throws.
    int throwAtProgress = 0;

private:
    void Record(std::string call) { calls.push_back(std::move(call)); }
    static std::string Name(Inspector grid) {
        switch (grid) {
        case Inspector::Mission: return "RMIMission";
        case Inspector::Event: return "RMIEvent";
        case Inspector::Player: return "RMIPlayer";
        case Inspector::Province: return "RMIProvince";
        }
        return "?";
    }
};

}  // namespace thorn::test

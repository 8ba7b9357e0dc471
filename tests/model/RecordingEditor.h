#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bitmap/Pix32.h"
#include "bitmapui/Pix32_Image.h"
#include "gui/Application.h"
#include "gui/headless/HeadlessHost.h"
#include "model/EditorLink.h"
#include "model/Settings.h"
#include "model/Textures.h"
#include "support/SourceTree.h"

class CProvince;

namespace thorn::test {

// The editor as the project sees it, for tests: records every call in
// order, answers questions from a script (an unscripted question fails the
// test with its text), and owns settings, texture strips, picture lists, a
// provinces list, a scroll box's state and a real world view: an image
// control on a form of the headless host (whose application it starts when
// none runs yet).
class RecordingEditor final : public EditorLink {
public:
    struct WarningRow {
        std::string caption;
        const CErrorList::CErrorBase* data = nullptr;
        int32_t image = 0;
    };
    struct ProvinceRow {
        std::string caption;
        CProvince* data = nullptr;
        std::string owner;
        bool selected = false;
    };
    struct ScrollBar {
        int32_t increment = 8;
        int32_t position = 0;
    };

    RecordingEditor()
        : session(Application ? nullptr : std::make_unique<HeadlessApplication>()),
          form(Application->CreateForm<TForm>()),
          view(MakeView(*form)),
          world(*view->GetBitmap()) {}
    ~RecordingEditor() { thorn::Free(form); }
    RecordingEditor(const RecordingEditor&) = delete;
    RecordingEditor& operator=(const RecordingEditor&) = delete;

    CSettings& Settings() override { return settings; }
    const CTextures& Texture(TextureStrip strip) override { return textures[static_cast<int>(strip)]; }
    IXMLNode GameDataElement() override { return gameData->GetDocumentElement(); }
    std::filesystem::path StartFolder() override { return startFolder; }

    void ShowProgress(std::string_view caption, int32_t max) override {
        Record("ShowProgress " + std::string(caption));
        progressShown = true;
        progressCaptions.emplace_back(caption);
        progressMax = max;
    }
    void SetProgress(int32_t position) override {
        progressPosition = position;
        if (throwAtProgress && --throwAtProgress == 0) failAtProgress();
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
    void ClearProvinceList() override {
        Record("Clear LVProvinces");
        provinceRows.clear();
    }
    void ClearPlayerList() override { Record("Clear LVPlayers"); }
    void ClearEventList() override { Record("Clear LVEvents"); }
    void ClearSelection() override { Record("ClearSelection"); }
    void StopProvinceBlink() override { Record("StopProvinceBlink"); }
    void RefreshVictoryConds() override { Record("RefreshVictoryConds"); }
    void RefreshLoseConds() override { Record("RefreshLoseConds"); }
    void UpdatePlayerInspector() override { Record("UpdatePlayerInspector"); }
    void BuildCastleLegend() override { Record("BuildCastleLegend"); }

    void SetWarningRowCount(int32_t count) override { warningRows.resize(static_cast<size_t>(count)); }
    void SetWarningRow(int32_t i, std::string_view caption, CErrorList::CErrorBase* data, int32_t image) override {
        warningRows.at(static_cast<size_t>(i)) = {std::string(caption), data, image};
    }

    TImage32& WorldView() override { return *view; }
    TRect WorldScrollBoxBounds() override { return scrollBoxBounds; }
    TRect WorldScrollBoxClientRect() override { return scrollBoxClient; }
    // As a scroll box does, the range is the extent of the image control.
    int32_t WorldScrollRange(ScrollBarKind bar) override {
        return bar == ScrollBarKind::Horizontal ? view->GetWidth() : view->GetHeight();
    }
    int32_t WorldScrollPosition(ScrollBarKind bar) override { return bars[Index(bar)].position; }
    void SetWorldScrollPosition(ScrollBarKind bar, int32_t position) override {
        const int32_t page = bar == ScrollBarKind::Horizontal ? scrollBoxClient.Width() : scrollBoxClient.Height();
        const int32_t last = std::max(0, WorldScrollRange(bar) - page);
        bars[Index(bar)].position = std::clamp(position, 0, last);
        Record(std::string("Scroll ") + (bar == ScrollBarKind::Horizontal ? "H " : "V ") +
               std::to_string(bars[Index(bar)].position));
    }
    void SetWorldScrollIncrement(ScrollBarKind bar, int32_t increment) override {
        bars[Index(bar)].increment = increment;
    }

    TBitmap32List& MarkerPictures() override { return markers; }
    TBitmap32List& CastlePictures() override { return castles; }

    void SetStatusText(int32_t panel, std::string_view text) override { statusPanels[panel] = text; }
    void EnableAction(EditorAction action, bool enabled) override {
        Record("EnableAction " + std::to_string(static_cast<int>(action)) + (enabled ? " on" : " off"));
        actions[action] = enabled;
    }
    void ShowControl(ProjectControl control, bool shown) override {
        Record("ShowControl " + std::to_string(static_cast<int>(control)) + (shown ? " on" : " off"));
        controlShown[control] = shown;
    }
    void EnableControl(ProjectControl control, bool enabled) override {
        Record("EnableControl " + std::to_string(static_cast<int>(control)) + (enabled ? " on" : " off"));
        controlEnabled[control] = enabled;
    }

    int32_t AddProvinceRow(std::string_view caption, CProvince* province, std::string_view owner) override {
        provinceRows.push_back({std::string(caption), province, std::string(owner), false});
        return static_cast<int32_t>(provinceRows.size() - 1);
    }
    int32_t FirstSelectedProvinceRow() override {
        for (size_t i = 0; i < provinceRows.size(); ++i)
            if (provinceRows[i].selected) return static_cast<int32_t>(i);
        return -1;
    }
    CProvince* ProvinceRowData(int32_t row) override {
        return row >= 0 && static_cast<size_t>(row) < provinceRows.size() ? provinceRows[static_cast<size_t>(row)].data
                                                                         : nullptr;
    }
    void DeselectProvinceRow(int32_t row) override {
        Record("DeselectRow " + std::to_string(row));
        provinceRows.at(static_cast<size_t>(row)).selected = false;
    }
    void DeleteProvinceRow(int32_t row) override {
        Record("DeleteRow " + std::to_string(row));
        provinceRows.erase(provinceRows.begin() + row);
    }
    void ProvinceDeleting(const CProvince& province) override {
        Record("ProvinceDeleting");
        deletedProvinces.push_back(&province);
    }

    // The view painted as the main window would show it at its zoom: the
    // world bitmap, then the visible layers.
    std::unique_ptr<TBitmap32> Painted() {
        auto out = std::make_unique<TBitmap32>();
        const int32_t w = static_cast<int32_t>(world.Width() * view->GetScale());
        const int32_t h = static_cast<int32_t>(world.Height() * view->GetScale());
        out->SetSize(w, h);
        view->PaintTo(out.get(), TRect{0, 0, w, h});
        return out;
    }

    // Calls whose record starts with the prefix.
    std::vector<std::string> CallsStartingWith(std::string_view prefix) const {
        std::vector<std::string> found;
        for (const std::string& call : calls)
            if (call.rfind(prefix, 0) == 0) found.push_back(call);
        return found;
    }

    std::unique_ptr<HeadlessApplication> session;
    TForm* form;
    TImage32* view;
    TBitmap32& world;
    TBitmap32List markers;
    TBitmap32List castles;
    TRect scrollBoxBounds{0, 0, 320, 240};
    TRect scrollBoxClient{0, 0, 300, 220};
    std::array<ScrollBar, 2> bars;
    std::map<int32_t, std::string> statusPanels;
    std::map<EditorAction, bool> actions;
    std::map<ProjectControl, bool> controlShown;
    std::map<ProjectControl, bool> controlEnabled;
    std::vector<ProvinceRow> provinceRows;
    std::vector<const CProvince*> deletedProvinces;
    CSettings settings;
    CTextures textures[3];
    // The game-data document (empty until a test loads one) and the folder
    // its picture paths are relative to.
    std::unique_ptr<TXMLDocument> gameData = std::make_unique<TXMLDocument>();
    std::filesystem::path startFolder = SourceDir() / "startdir";
    std::vector<std::string> calls;
    std::deque<MessageAnswer> answers;
    std::vector<std::string> errors;
    std::vector<std::string> progressCaptions;
    std::vector<WarningRow> warningRows;
    bool progressShown = false;
    int32_t progressMax = 0;
    int32_t progressPosition = 0;
    // When non-zero, the SetProgress call of that number runs failAtProgress,
    // which throws.
    int throwAtProgress = 0;
    std::function<void()> failAtProgress = [] { throw std::runtime_error("stopped in a long loop"); };

private:
    static TImage32* MakeView(TForm& form) {
        form.SetBounds(0, 0, 800, 600);
        auto* image = thorn::Make<TImage32>(form);
        image->SetParent(&form);
        image->SetScaleMode(smScale);
        image->SetBitmapAlign(baTopLeft);
        return image;
    }
    static size_t Index(ScrollBarKind bar) { return bar == ScrollBarKind::Horizontal ? 0 : 1; }
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

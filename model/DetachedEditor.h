#pragma once

#include "bitmapui/Pix32_Image.h"
#include "model/EditorLink.h"
#include "model/Settings.h"
#include "model/Textures.h"

namespace thorn {

// The editor a project talks to while no real one is handed over: no
// windows, every question answered with its first button, an empty
// provinces list, and a world view (an image control on no form), picture
// lists, default settings and three empty texture strips of its own, and
// the game data it is given.
class DetachedEditor final : public EditorLink {
public:
    DetachedEditor();
    ~DetachedEditor();

    CSettings& Settings() override { return settings_; }
    const CTextures& Texture(TextureStrip strip) override { return textures_[static_cast<int>(strip)]; }
    IXMLNode GameDataElement() override { return gameData_; }
    std::filesystem::path StartFolder() override { return startFolder_; }
    // The game-data document element (the document stays the caller's) and
    // the folder its picture paths are relative to; none at first.
    void SetGameData(IXMLNode root, std::filesystem::path startFolder) {
        gameData_ = root;
        startFolder_ = std::move(startFolder);
    }

    void ShowProgress(std::string_view, int32_t) override {}
    void SetProgress(int32_t) override {}
    void HideProgress() override {}

    void ShowError(std::string_view) override {}
    MessageAnswer Ask(std::string_view, std::string_view, MessageButtons buttons) override {
        return buttons == MessageButtons::OkCancel ? MessageAnswer::Ok : MessageAnswer::Yes;
    }

    void DeselectInspector(Inspector) override {}
    void ClearInspector(Inspector) override {}
    void ClearProvinceList() override {}
    void ClearPlayerList() override {}
    void ClearEventList() override {}
    void ClearSelection() override {}
    void StopProvinceBlink() override {}
    void RefreshVictoryConds() override {}
    void RefreshLoseConds() override {}
    void UpdatePlayerInspector() override {}
    void BuildCastleLegend() override {}

    void SetWarningRowCount(int32_t) override {}
    void SetWarningRow(int32_t, std::string_view, CErrorList::CErrorBase*, int32_t) override {}

    TImage32& WorldView() override { return *view_; }
    TRect WorldScrollBoxBounds() override { return {}; }
    TRect WorldScrollBoxClientRect() override { return {}; }
    int32_t WorldScrollRange(ScrollBarKind) override { return 0; }
    int32_t WorldScrollPosition(ScrollBarKind) override { return 0; }
    void SetWorldScrollPosition(ScrollBarKind, int32_t) override {}
    void SetWorldScrollIncrement(ScrollBarKind, int32_t) override {}

    TBitmap32List& MarkerPictures() override { return *markers_; }
    TBitmap32List& CastlePictures() override { return *castles_; }

    void SetStatusText(int32_t, std::string_view) override {}
    void EnableAction(EditorAction, bool) override {}
    void ShowControl(ProjectControl, bool) override {}
    void EnableControl(ProjectControl, bool) override {}

    int32_t AddProvinceRow(std::string_view, CProvince*, std::string_view) override { return -1; }
    int32_t FirstSelectedProvinceRow() override { return -1; }
    CProvince* ProvinceRowData(int32_t) override { return nullptr; }
    void DeselectProvinceRow(int32_t) override {}
    void DeleteProvinceRow(int32_t) override {}
    void ProvinceDeleting(const CProvince&) override {}

private:
    IXMLNode gameData_;
    std::filesystem::path startFolder_;
    CSettings settings_;
    CTextures textures_[3];
    std::unique_ptr<TImage32> view_;
    std::unique_ptr<TBitmap32List> markers_;
    std::unique_ptr<TBitmap32List> castles_;
};

}  // namespace thorn

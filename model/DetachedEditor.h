#pragma once

#include "bitmap/Pix32.h"
#include "model/EditorLink.h"
#include "model/Settings.h"
#include "model/Textures.h"

namespace thorn {

// The editor a project talks to while no real one is handed over: no
// windows, every question answered with its first button, and a world
// bitmap, default settings and three empty texture strips of its own.
class DetachedEditor final : public EditorLink {
public:
    CSettings& Settings() override { return settings_; }
    const CTextures& Texture(TextureStrip strip) override { return textures_[static_cast<int>(strip)]; }
    pugi::xml_node GameDataElement() override { return {}; }

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
    void SetWarningRow(int32_t, std::string_view, const void*, int32_t) override {}

    TBitmap32& WorldBitmap() override { return world_; }
    void SetWorldViewSize(int32_t width, int32_t height) override { world_.SetSize(width, height); }
    void RemoveAllWorldLayers() override {}
    void ScrollWorldViewTo(int32_t, int32_t) override {}
    float WorldViewScale() override { return 1.0f; }
    TPoint WorldViewCentre() override { return {0, 0}; }

private:
    CSettings settings_;
    CTextures textures_[3];
    TBitmap32 world_;
};

}  // namespace thorn

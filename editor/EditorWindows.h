#pragma once

#include <cstdint>
#include <vector>

#include "model/EditorLink.h"
#include "platform/Components.h"

class TAction;
class TControl;
class TCustomForm;
class TrmInspector;

namespace thorn {

// The project's way to the editor's windows: the main window, the tool
// windows, the warnings window and the progress window, reached through
// the globals of the main module. A window that is gone (the program is
// closing) takes nothing and answers what an empty one would.
class EditorWindows final : public EditorLink {
public:
    CSettings& Settings() override;
    const CTextures& Texture(TextureStrip strip) override;
    IXMLNode GameDataElement() override;
    std::filesystem::path StartFolder() override;

    void ShowProgress(std::string_view caption, int32_t max) override;
    void SetProgress(int32_t position) override;
    void HideProgress() override;

    void ShowError(std::string_view text) override;
    MessageAnswer Ask(std::string_view text, std::string_view caption, MessageButtons buttons) override;

    void DeselectInspector(Inspector grid) override;
    void ClearInspector(Inspector grid) override;
    void ClearProvinceList() override;
    void ClearPlayerList() override;
    void ClearEventList() override;
    void ClearSelection() override;
    void StopProvinceBlink() override;
    void RefreshVictoryConds() override;
    void RefreshLoseConds() override;
    void UpdatePlayerInspector() override;
    void BuildCastleLegend() override;

    void SetWarningRowCount(int32_t count) override;
    void SetWarningRow(int32_t i, std::string_view caption, CErrorList::CErrorBase* warning,
                       int32_t imageIndex) override;

    TImage32& WorldView() override;
    TRect WorldScrollBoxBounds() override;
    TRect WorldScrollBoxClientRect() override;
    int32_t WorldScrollRange(ScrollBarKind bar) override;
    int32_t WorldScrollPosition(ScrollBarKind bar) override;
    void SetWorldScrollPosition(ScrollBarKind bar, int32_t position) override;
    void SetWorldScrollIncrement(ScrollBarKind bar, int32_t increment) override;

    TBitmap32List& MarkerPictures() override;
    TBitmap32List& CastlePictures() override;

    void SetStatusText(int32_t panel, std::string_view text) override;
    void EnableAction(EditorAction action, bool enabled) override;
    void ShowControl(ProjectControl control, bool shown) override;
    void EnableControl(ProjectControl control, bool enabled) override;

    int32_t AddProvinceRow(std::string_view caption, CProvince* province, std::string_view ownerName) override;
    int32_t FirstSelectedProvinceRow() override;
    CProvince* ProvinceRowData(int32_t row) override;
    void DeselectProvinceRow(int32_t row) override;
    void DeleteProvinceRow(int32_t row) override;
    void ProvinceDeleting(const CProvince& province) override;

    // Whether a long operation holds the windows disabled now.
    bool ProgressShown() const { return progressShown_; }

private:
    TAction* ActionOf(EditorAction action) const;
    // Null for the events window's tool bar while that window does not exist.
    TControl* ControlOf(ProjectControl control) const;
    TrmInspector* GridOf(Inspector grid) const;

    // The windows a long operation disabled, to be enabled again, and the
    // one that gets the keyboard back then.
    std::vector<ComponentRef<TCustomForm>> disabled_;
    ComponentRef<TCustomForm> keyboardBefore_;
    bool progressShown_ = false;
    // The host's time of the last repaint the bar's steps let through, and
    // whether the step being shown has had one yet.
    static constexpr uint64_t kProgressPaintInterval = 50;  // milliseconds
    uint64_t lastProgressPaint_ = 0;
    bool progressPainted_ = false;
};

}  // namespace thorn

#pragma once

// The editor's pictures as the start folder holds them: their order in the
// image lists and the strips they are kept in. The start folder's generator
// draws the strips in this order and the editor reads them back by it.
namespace thorn {

// The pictures of the editor's image lists, by index. The main window's
// ImageList holds them at 20 x 20 (the tool bars and menus show them); the
// warnings window's ILErrors holds the same pictures at 16 x 16, and every
// warning shows Warning (22). The events window's tool bar shows
// AddProvince, DelProvince, Up and Down as its add, delete, up and down
// buttons.
enum class EditorImage : int {
    NewProject,
    LoadProject,
    SaveProject,
    SaveAsProject,
    SavePDA,
    DelProvince,
    AddProvince,
    ZoomIn,
    ZoomOut,
    ZoomFill,
    ShowMissRMI,
    ShowEventRMI,
    ShowOwnerColor,
    ShowNeighbours,
    ShowNames,
    ShowIcons,
    ShowCastles,
    ShowArmies,
    RecalcIconPlaces,
    ShowOptions,
    ReloadMap,
    RenProv,
    Warning,
    GenerateIncome,
    About,
    Exit,
    FilePanel,
    ZoomPanel,
    ShowPanel,
    Player,
    Province,
    Event,
    Up,
    Down,
};
inline constexpr int kEditorImageCount = static_cast<int>(EditorImage::Down) + 1;
inline constexpr int Index(EditorImage image) { return static_cast<int>(image); }

// The indices the windows are laid out with.
static_assert(Index(EditorImage::DelProvince) == 5 && Index(EditorImage::AddProvince) == 6);
static_assert(Index(EditorImage::Warning) == 22);
static_assert(Index(EditorImage::Up) == 32 && Index(EditorImage::Down) == 33);

// Where the start folder keeps the pictures: one strip per size, the
// pictures side by side on magenta, which stands for transparency.
inline constexpr const char* kLargeImagesFile = "res/icons/images20.bmp";
inline constexpr const char* kSmallImagesFile = "res/icons/images16.bmp";

}  // namespace thorn

#include "model/DetachedEditor.h"

namespace thorn {

DetachedEditor::DetachedEditor()
    : view_(std::make_unique<TImage32>()),
      markers_(std::make_unique<TBitmap32List>()),
      castles_(std::make_unique<TBitmap32List>()) {
    view_->SetScaleMode(smScale);
}

DetachedEditor::~DetachedEditor() = default;

}  // namespace thorn

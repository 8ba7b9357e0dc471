#pragma once

#include <cstdint>
#include <functional>

class TObject;

// Dragging with the mouse inside a control: whether a press and a move start
// it by themselves, where the pointer stands towards the place it is over,
// and the events the control raises along the way. The control being
// dragged from is the source; the control under the pointer is the target.
enum TDragMode : uint8_t { dmManual, dmAutomatic };
enum TDragState : uint8_t { dsDragEnter, dsDragLeave, dsDragMove };

// Whether source may be dropped at (x, y) of sender: accept starts true.
using TDragOverEvent =
    std::function<void(TObject* sender, TObject* source, int x, int y, TDragState state, bool& accept)>;
// source was dropped at (x, y) of sender.
using TDragDropEvent = std::function<void(TObject* sender, TObject* source, int x, int y)>;
using TStartDragEvent = std::function<void(TObject* sender)>;
// The drag ended on target (null when it was cancelled or refused).
using TEndDragEvent = std::function<void(TObject* sender, TObject* target, int x, int y)>;

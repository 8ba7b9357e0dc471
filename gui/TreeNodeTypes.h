#pragma once

#include <cstdint>

#include "platform/Sets.h"

// The words of trees shared by the tree view and the library's trees.

// Where MoveTo puts a node, relative to its destination: last or first among
// the destination's siblings, last or first among its children, or just
// before it.
enum TNodeAttachMode : uint8_t { naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert };
// Where a new node goes among the children of the node it is added to: first,
// last, or (taInsert) just before that node.
enum TAddMode : uint8_t { taAddFirst, taAdd, taInsert };

// What a tree view keeps sorted by itself: nothing, the nodes by their data
// (through OnCompare), by their texts, or both.
enum TSortType : uint8_t { stNone, stData, stText, stBoth };

// What lies under a point of a tree view.
enum THitTest : uint8_t {
    htAbove,
    htBelow,
    htNowhere,
    htOnItem,
    htOnButton,
    htOnIcon,
    htOnIndent,
    htOnLabel,
    htOnRight,
    htOnStateIcon,
    htToLeft,
    htToRight,
};
using THitTests = thorn::EnumSet<THitTest>;

// The moments of a custom-drawn paint, and how an item looks then.
enum TCustomDrawStage : uint8_t { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };
enum TCustomDrawStateMember : uint8_t {
    cdsSelected,
    cdsGrayed,
    cdsDisabled,
    cdsChecked,
    cdsFocused,
    cdsDefault,
    cdsHot,
    cdsMarked,
    cdsIndeterminate,
};
using TCustomDrawState = thorn::EnumSet<TCustomDrawStateMember>;

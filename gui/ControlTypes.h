#pragma once

#include <cstdint>
#include <string_view>

#include "platform/Sets.h"

// Value types shared by the controls, the forms and the hosts.

enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

enum TShiftStateMember : uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = thorn::EnumSet<TShiftStateMember>;

// The shift-state member of a mouse button.
constexpr TShiftStateMember ButtonShift(TMouseButton button) {
    return button == mbLeft ? ssLeft : button == mbRight ? ssRight : ssMiddle;
}

namespace thorn {
// Neither Shift, Alt nor Ctrl is held (mouse buttons do not count).
constexpr bool NoShiftKeys(TShiftState shift) {
    return !shift.Contains(ssShift) && !shift.Contains(ssAlt) && !shift.Contains(ssCtrl);
}
}  // namespace thorn

// Screen cursors, with the original platform's numbers.
using TCursor = int16_t;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;

// Virtual key codes, with the original platform's numbers; letters and
// digits are their upper-case ASCII codes.
using TKey = uint16_t;
inline constexpr TKey VK_LBUTTON = 0x01;
inline constexpr TKey VK_RBUTTON = 0x02;
inline constexpr TKey VK_CANCEL = 0x03;
inline constexpr TKey VK_MBUTTON = 0x04;
inline constexpr TKey VK_BACK = 0x08;
inline constexpr TKey VK_TAB = 0x09;
inline constexpr TKey VK_CLEAR = 0x0C;
inline constexpr TKey VK_RETURN = 0x0D;
inline constexpr TKey VK_SHIFT = 0x10;
inline constexpr TKey VK_CONTROL = 0x11;
inline constexpr TKey VK_MENU = 0x12;
inline constexpr TKey VK_PAUSE = 0x13;
inline constexpr TKey VK_CAPITAL = 0x14;
inline constexpr TKey VK_ESCAPE = 0x1B;
inline constexpr TKey VK_SPACE = 0x20;
inline constexpr TKey VK_PRIOR = 0x21;
inline constexpr TKey VK_NEXT = 0x22;
inline constexpr TKey VK_END = 0x23;
inline constexpr TKey VK_HOME = 0x24;
inline constexpr TKey VK_LEFT = 0x25;
inline constexpr TKey VK_UP = 0x26;
inline constexpr TKey VK_RIGHT = 0x27;
inline constexpr TKey VK_DOWN = 0x28;
inline constexpr TKey VK_SELECT = 0x29;
inline constexpr TKey VK_PRINT = 0x2A;
inline constexpr TKey VK_EXECUTE = 0x2B;
inline constexpr TKey VK_SNAPSHOT = 0x2C;
inline constexpr TKey VK_INSERT = 0x2D;
inline constexpr TKey VK_DELETE = 0x2E;
inline constexpr TKey VK_HELP = 0x2F;
inline constexpr TKey VK_LWIN = 0x5B;
inline constexpr TKey VK_RWIN = 0x5C;
inline constexpr TKey VK_APPS = 0x5D;
inline constexpr TKey VK_NUMPAD0 = 0x60;
inline constexpr TKey VK_MULTIPLY = 0x6A;
inline constexpr TKey VK_ADD = 0x6B;
inline constexpr TKey VK_SEPARATOR = 0x6C;
inline constexpr TKey VK_SUBTRACT = 0x6D;
inline constexpr TKey VK_DECIMAL = 0x6E;
inline constexpr TKey VK_DIVIDE = 0x6F;
inline constexpr TKey VK_F1 = 0x70;
inline constexpr TKey VK_F2 = 0x71;
inline constexpr TKey VK_F3 = 0x72;
inline constexpr TKey VK_F4 = 0x73;
inline constexpr TKey VK_F5 = 0x74;
inline constexpr TKey VK_F6 = 0x75;
inline constexpr TKey VK_F7 = 0x76;
inline constexpr TKey VK_F8 = 0x77;
inline constexpr TKey VK_F9 = 0x78;
inline constexpr TKey VK_F10 = 0x79;
inline constexpr TKey VK_F11 = 0x7A;
inline constexpr TKey VK_F12 = 0x7B;
inline constexpr TKey VK_NUMLOCK = 0x90;
inline constexpr TKey VK_SCROLL = 0x91;
inline constexpr TKey VK_OEM_1 = 0xBA;       // ;:
inline constexpr TKey VK_OEM_PLUS = 0xBB;    // =+
inline constexpr TKey VK_OEM_COMMA = 0xBC;   // ,<
inline constexpr TKey VK_OEM_MINUS = 0xBD;   // -_
inline constexpr TKey VK_OEM_PERIOD = 0xBE;  // .>
inline constexpr TKey VK_OEM_2 = 0xBF;       // /?
inline constexpr TKey VK_OEM_3 = 0xC0;       // `~
inline constexpr TKey VK_OEM_4 = 0xDB;       // [{
inline constexpr TKey VK_OEM_5 = 0xDC;       // \|
inline constexpr TKey VK_OEM_6 = 0xDD;       // ]}
inline constexpr TKey VK_OEM_7 = 0xDE;       // '"

// A key with its shift keys, as menus and actions name them.
using TShortCut = uint16_t;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;
constexpr TShortCut ShortCut(TKey key, TShiftState shift) {
    return static_cast<TShortCut>((key & 0xFF) | (shift.Contains(ssShift) ? scShift : 0) |
                                  (shift.Contains(ssCtrl) ? scCtrl : 0) | (shift.Contains(ssAlt) ? scAlt : 0));
}

// Results of modal forms and message boxes (the same numbers as the
// platform's IDOK ... IDNO).
using TModalResult = int32_t;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrAll = 8;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Message box flags.
inline constexpr uint32_t MB_OK = 0x0;
inline constexpr uint32_t MB_OKCANCEL = 0x1;
inline constexpr uint32_t MB_ABORTRETRYIGNORE = 0x2;
inline constexpr uint32_t MB_YESNOCANCEL = 0x3;
inline constexpr uint32_t MB_YESNO = 0x4;
inline constexpr uint32_t MB_RETRYCANCEL = 0x5;
inline constexpr uint32_t MB_TYPEMASK = 0xF;
inline constexpr uint32_t MB_ICONHAND = 0x10;
inline constexpr uint32_t MB_ICONQUESTION = 0x20;
inline constexpr uint32_t MB_ICONEXCLAMATION = 0x30;
inline constexpr uint32_t MB_ICONASTERISK = 0x40;
inline constexpr uint32_t MB_ICONMASK = 0xF0;
inline constexpr uint32_t MB_ICONERROR = MB_ICONHAND;
inline constexpr uint32_t MB_ICONSTOP = MB_ICONHAND;
inline constexpr uint32_t MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr uint32_t MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr uint32_t MB_DEFBUTTON1 = 0x000;
inline constexpr uint32_t MB_DEFBUTTON2 = 0x100;
inline constexpr uint32_t MB_DEFBUTTON3 = 0x200;
inline constexpr uint32_t MB_DEFMASK = 0xF00;

// How a text lines up in the width it is given.
enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };

// Placement of a control inside its parent.
enum TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
namespace thorn {
// The names a form stream gives the values, in order.
inline constexpr std::string_view kAlignNames[] = {"alNone",  "alTop",    "alBottom", "alLeft",
                                                   "alRight", "alClient", "alCustom"};
}  // namespace thorn

enum TAnchorKind : uint8_t { akLeft, akTop, akRight, akBottom };
using TAnchors = thorn::EnumSet<TAnchorKind>;
inline constexpr TAnchors kDefaultAnchors{akLeft, akTop};

// What a windowed control wants to see of the dialog keys (WMGetDlgCode).
inline constexpr uint32_t DLGC_WANTARROWS = 0x1;
inline constexpr uint32_t DLGC_WANTTAB = 0x2;
inline constexpr uint32_t DLGC_WANTALLKEYS = 0x4;
inline constexpr uint32_t DLGC_WANTCHARS = 0x80;

// A form's frame, stacking and size state, which its window shows.
enum TFormBorderStyle : uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
namespace thorn {
// The names a form stream gives the values, in order.
inline constexpr std::string_view kBorderStyleNames[] = {"bsNone",   "bsSingle",     "bsSizeable",
                                                         "bsDialog", "bsToolWindow", "bsSizeToolWin"};
}  // namespace thorn
// The commands a form's frame offers: its close box (and window menu), its
// minimise and maximise boxes, a help box. A dialog's border offers only the
// first; without it the frame offers none of them.
enum TBorderIcon : uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = thorn::EnumSet<TBorderIcon>;
inline constexpr TBorderIcons kDefaultBorderIcons{biSystemMenu, biMinimize, biMaximize};
enum TFormStyle : uint8_t { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState : uint8_t { wsNormal, wsMinimized, wsMaximized };

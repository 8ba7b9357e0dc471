#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "bitmap/Pix32.h"
#include "platform/Graphics.h"

// The editor's preferences: what the world view shows, translucency, the
// label font, the colours that classify and paint map pieces, and the
// population limits. Users read and write the fields directly; the settings
// file keeps most of them under the names of the switches.
class CSettings {
public:
    CSettings();
    CSettings(const CSettings&) = delete;
    CSettings& operator=(const CSettings&) = delete;

    // Switches, 0 or 1.
    uint32_t ShNames = 0;       // province name labels
    uint32_t ShIcons = 1;       // province markers
    uint32_t ShCastles = 0;     // castle icons
    uint32_t ShArmies = 0;      // army icons
    uint32_t TransCastles = 1;  // castle icons drawn translucent
    uint32_t TransArmies = 0;   // army icons drawn translucent
    uint32_t OwnerColors = 1;   // province pieces in their owner's colour
    uint32_t ShPaths = 0;       // the neighbour-link overlay
    uint32_t AutoShowErr = 1;   // warnings window opens after an import
    uint32_t AutoResize = 1;    // small world pictures enlarged without asking
    uint8_t TransValue = 120;   // master alpha of translucent icons

    // Font of the province name labels; black.
    TFont LabelFont;

    // The nineteen colours, in this order.
    TColor32 BackgroundColor = 0xFFFF0000;  // the new world bitmap is cleared to it
    TColor32 OtherPieceColor = 0xFFFF0000;  // pieces of no known kind
    TColor32 OceanColor = 0xFF0000FF;       // a piece of exactly this colour is sea
    TColor32 Color4 = 0xFFCCCCCC;
    TColor32 Color5 = 0xFFFFFF00;
    TColor32 Color6 = 0xFF808080;
    TColor32 GreenLandColor = 0xFF00FF00;   // a piece of exactly this colour is green land
    TColor32 Color8 = 0xFF0000FF;
    TColor32 Color9 = 0xFF00FF00;
    TColor32 Color10 = 0xFF000000;
    TColor32 Color11 = 0xFFAA0000;
    TColor32 Color12 = 0xFFFFFFFF;
    TColor32 SmallPieceColor = 0xFFFFFFFF;  // small pieces
    std::array<TColor32, 6> PlayerColors{0xFFE00000, 0xFFB0B000, 0xFF40D040,
                                         0xFF0000D0, 0xFFD000D0, 0xFF808080};

    std::array<std::string, 6> TextsA;
    std::array<std::string, 6> TextsB;
    std::array<std::string, 2> TextsC;

    uint8_t MinPopulation = 25;
    uint8_t MaxPopulation = 125;
    uint8_t MinCapPopulation = 50;
    uint8_t MaxCapPopulation = 150;
    uint8_t ConvertCapTo = 0;
};

#include <gtest/gtest.h>

#include "model/Settings.h"

namespace {

TEST(Settings, Defaults) {
    CSettings s;
    EXPECT_EQ(s.ShIcons, 1u);
    EXPECT_EQ(s.TransCastles, 1u);
    EXPECT_EQ(s.OwnerColors, 1u);
    EXPECT_EQ(s.AutoShowErr, 1u);
    EXPECT_EQ(s.AutoResize, 1u);
    EXPECT_EQ(s.ShNames + s.ShCastles + s.ShArmies + s.TransArmies + s.ShPaths, 0u);
    EXPECT_EQ(s.TransValue, 120);
    EXPECT_EQ(s.MinPopulation, 25);
    EXPECT_EQ(s.MaxPopulation, 125);
    EXPECT_EQ(s.MinCapPopulation, 50);
    EXPECT_EQ(s.MaxCapPopulation, 150);
    EXPECT_EQ(s.ConvertCapTo, 0);
}

TEST(Settings, LabelFontIsANewBlackFont) {
    CSettings s;
    TFont fresh;
    EXPECT_EQ(s.LabelFont.GetColor(), clBlack);
    EXPECT_EQ(s.LabelFont.GetName(), fresh.GetName());
    EXPECT_EQ(s.LabelFont.GetHeight(), fresh.GetHeight());
    EXPECT_EQ(s.LabelFont.GetStyle(), fresh.GetStyle());
}

TEST(Settings, TheNineteenColours) {
    CSettings s;
    const TColor32 colours[] = {s.BackgroundColor, s.OtherPieceColor, s.OceanColor,     s.Color4,  s.Color5,
                                s.Color6,          s.GreenLandColor,  s.Color8,         s.Color9,  s.Color10,
                                s.Color11,         s.Color12,         s.SmallPieceColor};
    const TColor32 expected[] = {0xFFFF0000, 0xFFFF0000, 0xFF0000FF, 0xFFCCCCCC, 0xFFFFFF00, 0xFF808080, 0xFF00FF00,
                                 0xFF0000FF, 0xFF00FF00, 0xFF000000, 0xFFAA0000, 0xFFFFFFFF, 0xFFFFFFFF};
    for (size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(colours[i], expected[i]) << i;
    EXPECT_EQ(s.PlayerColors,
              (std::array<TColor32, 6>{0xFFE00000, 0xFFB0B000, 0xFF40D040, 0xFF0000D0, 0xFFD000D0, 0xFF808080}));
    for (const auto& text : s.TextsA) EXPECT_TRUE(text.empty());
    for (const auto& text : s.TextsB) EXPECT_TRUE(text.empty());
    for (const auto& text : s.TextsC) EXPECT_TRUE(text.empty());
}

}  // namespace

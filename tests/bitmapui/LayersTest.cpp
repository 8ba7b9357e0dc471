#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bitmapui/Pix32_Layers.h"
#include "gui/Application.h"
#include "gui/headless/HeadlessHost.h"
#include "platform/Collections.h"

namespace {

using Log = std::vector<std::string>;

// A positioned layer that logs its mouse calls and notifications.
class Recording : public TPositionedLayer {
public:
    Log* log = nullptr;
    std::string name;

protected:
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
        log->push_back(name + " down " + std::to_string(x) + "," + std::to_string(y));
        TPositionedLayer::MouseDown(b, s, x, y);
    }
    void MouseMove(TShiftState s, int x, int y) override {
        log->push_back(name + " move " + std::to_string(x) + "," + std::to_string(y));
        TPositionedLayer::MouseMove(s, x, y);
    }
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override {
        log->push_back(name + " up " + std::to_string(x) + "," + std::to_string(y));
        TPositionedLayer::MouseUp(b, s, x, y);
    }
    void Notification(TCustomLayer* layer) override {
        log->push_back(name + " told " + std::to_string(layer->GetTag()));
    }
};

class Layers : public ::testing::Test {
protected:
    Layers() {
        layers.OnChange = [this](TObject*) { ++changes; };
        layers.OnGDIUpdate = [this](TObject*) { ++gdiUpdates; };
    }
    Recording* AddRecording(const std::string& name, TFloatRect location) {
        auto* layer = layers.Add<Recording>();
        layer->log = &log;
        layer->name = name;
        layer->SetLocation(location);
        return layer;
    }
    thorn::HeadlessApplication session;  // the screen cursor lives there
    TLayerCollection layers{nullptr};
    Log log;
    int changes = 0;
    int gdiUpdates = 0;
};

TEST_F(Layers, NewLayersGoOnTopWithTheirDefaults) {
    auto* custom = layers.Add<TCustomLayer>();
    auto* positioned = layers.Add<TPositionedLayer>();
    auto* bitmap = layers.Add<TBitmapLayer>();
    EXPECT_EQ(layers.GetCount(), 3);
    EXPECT_EQ(custom->GetLayerOptions(), 0x80000000u);
    EXPECT_EQ(positioned->GetLayerOptions(), 0xA0000000u);
    EXPECT_EQ(bitmap->GetLayerOptions(), 0xA0000000u);
    EXPECT_EQ(positioned->GetLocation(), (TFloatRect{0, 0, 64, 64}));
    EXPECT_EQ(bitmap->GetIndex(), 2);
    EXPECT_EQ(bitmap->GetLayerCollection(), &layers);
    auto* inserted = layers.Insert<TPositionedLayer>(1);
    EXPECT_EQ(layers.GetItem(1), inserted);
    EXPECT_THROW(layers.GetItem(4), EListError);
    TPositionedLayer alone;
    EXPECT_EQ(alone.GetIndex(), -1);
    alone.SetIndex(3);  // nothing without a collection
    EXPECT_EQ(alone.GetIndex(), -1);
}

TEST_F(Layers, IndexesClampAndMoveWithinTheStack) {
    auto* a = layers.Add<TPositionedLayer>();
    auto* b = layers.Add<TPositionedLayer>();
    auto* c = layers.Add<TPositionedLayer>();
    int before = changes;
    c->BringToFront();
    EXPECT_EQ(changes, before);  // already there
    c->SetIndex(-5);
    EXPECT_EQ(layers.GetItem(0), c);
    c->SetIndex(layers.GetCount() + 3);
    EXPECT_EQ(layers.GetItem(2), c);
    a->BringToFront();
    EXPECT_EQ(layers.GetItem(2), a);
    b->SendToBack();
    EXPECT_EQ(layers.GetItem(0), b);
    EXPECT_GT(changes, before);
}

TEST_F(Layers, TheTopmostLayerUnderThePressGetsIt) {
    AddRecording("low", {0, 0, 50, 50});
    Recording* high = AddRecording("high", {25, 25, 75, 75});
    EXPECT_EQ(layers.MouseDown(mbLeft, {}, 30, 30), high);
    EXPECT_EQ(layers.GetMouseListener(), high);
    EXPECT_TRUE(high->GetLayerStates().Contains(lsMouseLeft));
    // The listener keeps the mouse outside its rectangle until released.
    EXPECT_EQ(layers.MouseMove({}, 200, 200), high);
    EXPECT_EQ(layers.MouseUp(mbLeft, {}, 200, 200), high);
    EXPECT_EQ(layers.GetMouseListener(), nullptr);
    EXPECT_TRUE(high->GetLayerStates().Empty());
    EXPECT_EQ(log, (Log{"high down 30,30", "high move 200,200", "high up 200,200"}));
    log.clear();
    EXPECT_EQ(layers.MouseMove({}, 10, 10)->GetIndex(), 0);
    EXPECT_EQ(layers.MouseMove({}, 100, 100), nullptr);
    EXPECT_EQ(log, (Log{"low move 10,10"}));
}

TEST_F(Layers, SomePressesOnlyReportTheLayer) {
    Recording* shy = AddRecording("shy", {0, 0, 50, 50});
    shy->SetLayerOptions(shy->GetLayerOptions() | kLayerNoCapture);
    EXPECT_EQ(layers.MouseDown(mbLeft, {}, 10, 10), shy);
    EXPECT_EQ(layers.MouseDown(mbRight, {}, 10, 10), shy);
    EXPECT_EQ(layers.MouseDown(mbMiddle, {}, 10, 10), shy);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(layers.GetMouseListener(), nullptr);

    // A right press goes to a layer that already holds the mouse.
    Recording* bold = AddRecording("bold", {100, 0, 150, 50});
    layers.MouseDown(mbLeft, {}, 110, 10);
    layers.MouseDown(mbRight, {}, 10, 10);
    layers.MouseUp(mbLeft, {}, 10, 10);
    EXPECT_EQ(layers.GetMouseListener(), bold);  // the right button is still down
    layers.MouseUp(mbRight, {}, 10, 10);
    EXPECT_EQ(layers.GetMouseListener(), nullptr);
    EXPECT_EQ(log, (Log{"bold down 110,10", "bold down 10,10", "bold up 10,10", "bold up 10,10"}));

    // Switching mouse events lets go of the listener.
    layers.MouseDown(mbLeft, {}, 110, 10);
    layers.SetMouseEvents(true);
    EXPECT_EQ(layers.GetMouseListener(), nullptr);
    EXPECT_TRUE(bold->GetLayerStates().Empty());
}

TEST_F(Layers, LayersWithoutMouseEventsAreNotFound) {
    Recording* layer = AddRecording("layer", {0, 0, 50, 50});
    layer->SetMouseEvents(false);
    EXPECT_EQ(layers.MouseDown(mbLeft, {}, 10, 10), nullptr);
    EXPECT_EQ(layers.FindLayerAtPos(10, 10, kLayerVisible), layer);
    layer->OnHitTest = [](TObject*, int x, int, bool& passed) { passed = x < 5; };
    EXPECT_EQ(layers.FindLayerAtPos(10, 10, kLayerVisible), nullptr);
    EXPECT_EQ(layers.FindLayerAtPos(4, 10, kLayerVisible), layer);
}

TEST_F(Layers, TheMouseMovingOverALayerShowsItsCursor) {
    Recording* layer = AddRecording("layer", {0, 0, 50, 50});
    layer->SetCursor(crHandPoint);
    layers.OwnerCursor = [] { return crCross; };
    layers.MouseMove({}, 10, 10);
    EXPECT_EQ(Screen->GetCursor(), crHandPoint);
    layers.MouseMove({}, 100, 10);
    EXPECT_EQ(Screen->GetCursor(), crCross);
    layers.MouseDown(mbLeft, {}, 10, 10);
    layers.MouseUp(mbLeft, {}, 10, 10);
    EXPECT_EQ(Screen->GetCursor(), crDefault);
}

TEST_F(Layers, HiddenLayersRepaintOnlyWhenTheyGoOrForTheOverlay) {
    auto* layer = layers.Add<TBitmapLayer>();
    changes = 0;
    layer->GetBitmap()->SetSize(4, 4);
    EXPECT_GT(changes, 0);
    changes = 0;
    layer->SetVisible(false);
    EXPECT_EQ(changes, 1);  // the picture must leave the screen
    layer->GetBitmap()->Clear(0xFFFF0000u);
    layer->SetLocation({1, 1, 5, 5});
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(gdiUpdates, 0);
    layer->SetLayerOptions(kLayerGdiOverlay);
    layer->SetLocation({2, 2, 6, 6});
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(gdiUpdates, 2);
    layer->SetLayerOptions(kLayerVisible | kLayerNoUpdate);
    changes = 0;
    layer->SetLocation({3, 3, 7, 7});
    EXPECT_EQ(changes, 0);
}

TEST_F(Layers, UpdatesPairUp) {
    int changing = 0;
    layers.OnChanging = [&](TObject*) { ++changing; };
    layers.BeginUpdate();
    layers.BeginUpdate();
    layers.EndUpdate();
    EXPECT_EQ(changes, 0);
    layers.EndUpdate();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(changing, 1);
    EXPECT_THROW(layers.EndUpdate(), EInvalidOperation);
}

TEST_F(Layers, BitmapLayersHitWhereTheirPixelsAreOpaque) {
    auto* layer = layers.Add<TBitmapLayer>();
    layer->GetBitmap()->SetSize(2, 2);  // zero-filled: transparent
    layer->GetBitmap()->SetPixel(1, 0, 0x01000000u);
    layer->SetLocation({10, 10, 30, 30});
    EXPECT_TRUE(layer->HitTest(10, 10));
    layer->SetAlphaHitTest(true);
    EXPECT_FALSE(layer->HitTest(10, 10));
    EXPECT_TRUE(layer->HitTest(20, 14));   // x 10 * 2 / 20 = 1, y round(0.4) = 0
    EXPECT_FALSE(layer->HitTest(20, 16));  // y round(0.6) = 1: transparent
    EXPECT_FALSE(layer->HitTest(5, 5));
    layer->SetLocation({10, 10, 10.4f, 30});  // rounds to no width
    EXPECT_FALSE(layer->HitTest(10, 14));
}

TEST_F(Layers, ALocationPaintsIntoItsRoundedRectangle) {
    TBitmap32 buffer;
    buffer.SetSize(40, 40);
    auto* layer = layers.Add<TBitmapLayer>();
    layer->GetBitmap()->SetSize(5, 5);
    layer->GetBitmap()->Clear(0xFFFF0000u);
    layer->SetLocation({10.4f, 10.6f, 20.5f, 30.5f});
    layer->DoPaint(&buffer);
    // (10, 11, 20, 30): halves go to even.
    EXPECT_EQ(buffer.GetPixel(10, 11), 0xFFFF0000u);
    EXPECT_EQ(buffer.GetPixel(19, 29), 0xFFFF0000u);
    EXPECT_EQ(buffer.GetPixel(9, 11), 0u);
    EXPECT_EQ(buffer.GetPixel(10, 10), 0u);
    EXPECT_EQ(buffer.GetPixel(20, 20), 0u);
    EXPECT_EQ(buffer.GetPixel(15, 30), 0u);
    int painted = 0;
    layer->OnPaint = [&](TObject*, TBitmap32* target) { painted += target == &buffer; };
    layer->DoPaint(&buffer);
    EXPECT_EQ(painted, 1);
}

TEST_F(Layers, APaintClipKeepsBitmapLayersInsideIt) {
    TBitmap32 buffer;
    buffer.SetSize(40, 40);
    auto* layer = layers.Add<TBitmapLayer>();
    layer->GetBitmap()->SetSize(1, 1);
    layer->GetBitmap()->Clear(0xFFFF0000u);
    layer->SetLocation({10, 10, 30, 30});
    layers.SetPaintClip(TRect{12, 14, 16, 100});
    layers.SetPaintOffset({2, 4});  // control (10, 10) is buffer (8, 6)
    layer->DoPaint(&buffer);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            bool inside = x >= 12 && x < 16 && y >= 14 && y < 26;
            ASSERT_EQ(buffer.GetPixel(x, y), inside ? 0xFFFF0000u : 0u) << x << "," << y;
        }
}

TEST_F(Layers, OnlyTheLibrarysOwnLayersPromiseToKeepToTheClip) {
    EXPECT_TRUE(layers.Add<TCustomLayer>()->PaintsInsideClip());
    EXPECT_TRUE(layers.Add<TPositionedLayer>()->PaintsInsideClip());
    auto* bitmapLayer = layers.Add<TBitmapLayer>();
    EXPECT_TRUE(bitmapLayer->PaintsInsideClip());
    bitmapLayer->OnPaint = [](TObject*, TBitmap32*) {};
    EXPECT_FALSE(bitmapLayer->PaintsInsideClip());
    EXPECT_FALSE(AddRecording("own class", {})->PaintsInsideClip());
}

TEST_F(Layers, ScaledLayersFollowTheTransform) {
    TCoordTransform transform{2 * 65536, 3 * 65536, 5, 7, 32768, 21845};
    layers.SetCoordTransform(&transform);
    auto* layer = layers.Add<TPositionedLayer>();
    layer->SetLocation({1, 1, 2, 2});
    EXPECT_EQ(layer->GetAdjustedLocation(), (TFloatRect{1, 1, 2, 2}));
    layer->SetScaled(true);
    EXPECT_EQ(layer->GetAdjustedLocation(), (TFloatRect{7, 10, 9, 13}));
    EXPECT_TRUE(layer->HitTest(8, 12));
    EXPECT_FALSE(layer->HitTest(9, 12));
}

TEST_F(Layers, AFreedLayerIsForgottenByWhatItWatched) {
    Recording* watcher = AddRecording("watcher", {});
    Recording* watched = AddRecording("watched", {});
    watched->SetTag(42);
    watched->AddNotification(watcher);
    watched->AddNotification(watcher);  // once only
    layers.Delete(watched);
    EXPECT_EQ(log, (Log{"watcher told 42"}));

    // The other way round: the layer that asked goes first, and the one it
    // watched must not tell it anything later.
    log.clear();
    Recording* keeper = AddRecording("keeper", {});
    Recording* asker = AddRecording("asker", {});
    keeper->AddNotification(asker);
    layers.Delete(asker);
    layers.Delete(keeper);
    EXPECT_TRUE(log.empty());
}

TEST_F(Layers, DeletingTheListenerLetsGoOfTheMouse) {
    Recording* layer = AddRecording("layer", {0, 0, 50, 50});
    int destroyed = 0;
    layer->OnDestroy = [&](TObject*) { ++destroyed; };
    layers.MouseDown(mbLeft, {}, 5, 5);
    layer->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { layers.Delete(layer); };
    EXPECT_EQ(layers.MouseUp(mbLeft, {}, 5, 5), nullptr);  // freed by its own handler: not reported
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(layers.GetMouseListener(), nullptr);
    EXPECT_EQ(layers.GetCount(), 0);
}

TEST_F(Layers, CollectionsCopyEveryLayerInOrder) {
    auto* a = layers.Add<TBitmapLayer>();
    a->GetBitmap()->SetSize(3, 2);
    a->SetLocation({1, 2, 3, 4});
    a->SetTag(7);
    auto* b = layers.Add<TPositionedLayer>();
    b->SetScaled(true);
    TLayerCollection copy(nullptr);
    copy.Add<TCustomLayer>();
    copy.Assign(layers);
    ASSERT_EQ(copy.GetCount(), 2);
    auto* a2 = dynamic_cast<TBitmapLayer*>(copy.GetItem(0));
    ASSERT_NE(a2, nullptr);
    EXPECT_EQ(a2->GetBitmap()->Width(), 3);
    EXPECT_EQ(a2->GetLocation(), (TFloatRect{1, 2, 3, 4}));
    EXPECT_EQ(a2->GetTag(), 7);
    EXPECT_TRUE(dynamic_cast<TPositionedLayer*>(copy.GetItem(1))->GetScaled());
    layers.Clear();
    EXPECT_EQ(layers.GetCount(), 0);
    EXPECT_EQ(copy.GetCount(), 2);
}

}  // namespace

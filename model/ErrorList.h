#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/MapMap.h"

class CMapProject;
class CProvinceMap;

// The world-image warnings: what the import changed in the world picture on
// its own (small pieces joined to a province piece or turned into green
// land). The warnings window lists them; showing one marks its piece in red
// on the world view, and at most one is shown at a time.
class CErrorList {
public:
    // One warning.
    class CErrorBase {
    public:
        virtual ~CErrorBase() = default;
        // Whether the warning stops the mission from being used (no warning
        // kind does), and whether it only informs (every kind does).
        virtual int IsCritical() const = 0;
        virtual int IsInformal() const = 0;
        // Restores the warning's piece to its normal look.
        virtual void Hide() = 0;
        // Makes this the shown warning and marks its piece on the view.
        virtual void Show() = 0;
        virtual std::string GetText() const = 0;
        virtual int32_t GetImageIndex() const = 0;
    };

    // A warning that informs.
    class CErrorInformal : public CErrorBase {
    public:
        int IsCritical() const override { return 0; }
        int IsInformal() const override { return 1; }
        // The icon of the warnings window's image list.
        int32_t GetImageIndex() const override { return 22; }
    };

    explicit CErrorList(CMapProject& project) : project_(project) {}
    ~CErrorList();
    CErrorList(const CErrorList&) = delete;
    CErrorList& operator=(const CErrorList&) = delete;

    // Takes the warning over; answers its index, or -1 when the list cannot
    // grow (the warning is dropped then).
    int Add(std::unique_ptr<CErrorBase> warning);
    int32_t GetCount() const { return static_cast<int32_t>(warnings_.size()); }
    CErrorBase* GetAt(int32_t i) const;

    // Hides the shown warning, empties the warnings window's list and
    // deletes every warning.
    void Clear();
    // Hides the shown warning (if any), then remembers the given one (null:
    // none).
    void SetCurrent(CErrorBase* warning);
    CErrorBase* GetCurrent() const { return current_; }
    // Makes the warnings window's list hold one row per warning: caption
    // the warning's text, data the warning, image its image index.
    void FillListView();

    CMapProject& Project() const { return project_; }

private:
    CMapProject& project_;
    std::vector<std::unique_ptr<CErrorBase>> warnings_;
    CErrorBase* current_ = nullptr;
};

// A small piece was joined to a province piece. Keeps the absorbed pixels
// as they were before the merge, so they can be marked later.
class CErrorConnect final : public CErrorList::CErrorInformal {
public:
    // Saves the absorbed piece's set pixels (0xFFFF0000 where its mask was
    // set, -1 elsewhere) and its box.
    CErrorConnect(CMapProject& project, const CProvinceMap& absorbed, CProvinceMap* absorbing);

    // "Piece was connected to " and the name of the province bound to the
    // absorbing piece, or "<unhandled map>".
    std::string GetText() const override;
    void Show() override;
    void Hide() override;

    CProvinceMap* Piece() const { return piece_; }
    const CMapMap& Pixels() const { return pixels_; }
    // The absorbed box: left, top, right + 1, bottom + 1.
    uint16_t Left() const { return left_; }
    uint16_t Top() const { return top_; }
    uint16_t Right() const { return right_; }
    uint16_t Bottom() const { return bottom_; }

private:
    CMapProject& project_;
    CProvinceMap* piece_;
    CMapMap pixels_;
    uint16_t left_, top_, right_, bottom_;
};

// A small piece was turned into green land (or ocean).
class CErrorConverted final : public CErrorList::CErrorInformal {
public:
    static constexpr const char* kToGreenLand = "Piece was converted to green land";
    static constexpr const char* kToOcean = "Piece was converted to ocean";

    CErrorConverted(CMapProject& project, CProvinceMap* piece, std::string text);

    std::string GetText() const override { return text_; }
    void Show() override;
    void Hide() override;

    CProvinceMap* Piece() const { return piece_; }

private:
    CMapProject& project_;
    CProvinceMap* piece_;
    std::string text_;
};

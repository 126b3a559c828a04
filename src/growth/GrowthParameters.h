#pragma once
// The three numeric growth parameters and the three growth options, in one record
// that the program holds once: the parameter dialog and the menu write it, every
// growth run reads it. Field names are the ones the console, menus and scene files
// use. Start values are the program's.
namespace vantrel {

struct GrowthParameters {
    // Points of a walked stroke; a walk takes SegmentResolution - 1 sub-steps.
    // Valid values are 2 to 102 (the dialog's range); the growth treats anything
    // below 2 as 2.
    int SegmentResolution = 5;
    // Weight (0 to 1) of the fibre layer's escape direction from the third
    // sub-step of a walk on.
    double GradientDirectionRate = 0.75;
    // Relative spread (0 to 1) of the length of every lateral child.
    double RandomDirectionRate = 0.4;
    // Shuffle a fibre's growth front before each generation.
    bool ShuffleGrowthApexOrder = true;
    // Keep a child that runs into another stroke as a junction instead of
    // discarding it.
    bool CreateTreeStructure = true;
    // Snap every walked point onto its heart polygon's plane, layerDepth inwards.
    bool FitOffsetFromTargetPolygon = true;
};

}  // namespace vantrel

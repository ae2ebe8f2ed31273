#pragma once

#include "NetlistColorizer.h"

// A view class coloured by the netlist classifier, as the netlist view will be.
template <typename View>
class NetlistColored : public View {
public:
    LineScanState ColorizeLine(LineScanState state, int line, ColorRun* runs,
                               int& runCount) override {
        return ClassifyNetlistLine(state, this->LineText(line), this->LineLength(line), runs,
                                   runCount);
    }
    LineScanState ColorizeVisible(LineScanState state, int line, int from, int to, ColorRun* runs,
                                  int& runCount, bool wantEndState) override {
        return ClassifyNetlistLineWindow(state, this->LineText(line), this->LineLength(line), from,
                                         to, runs, runCount, wantEndState);
    }
};

// Runs the benchmarks of a binary whose views need a QApplication, on the offscreen platform.
int RunBenchmarksWithApplication(int argc, char** argv);

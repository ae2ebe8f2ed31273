#include "NetlistPlotRequests.h"
#include "PlotDescription.h"
#include "SiFormat.h"

#include <gtest/gtest.h>

namespace {

SRawVector Vector(const std::string& name, const std::string& type,
                  std::vector<double> values = {}) {
    SRawVector vector;
    vector.name = name;
    vector.type = type;
    vector.real = std::move(values);
    return vector;
}

SRawPlot Plot(const std::string& name, std::vector<SRawVector> vectors) {
    SRawPlot plot;
    plot.name = name;
    plot.vectors = std::move(vectors);
    plot.points = plot.vectors.empty() ? 0 : plot.vectors[0].real.size();
    return plot;
}

}  // namespace

TEST(SiFormat, ValuesTakeTheirPrefix) {
    struct Case {
        double value;
        const char* unit;
        const char* text;
    };
    const Case cases[] = {
        {1.5e-6, "s", "1.5 µs"},  {-0.02, "V", "-20 mV"},    {3300, "Hz", "3.3 kHz"},
        {0, "V", "0 V"},          {1e-15, "A", "0.001 pA"},  {2.5e12, "Hz", "2500 GHz"},
        {999.96, "V", "1 kV"},    {1, "", "1"},              {12.3456, "V", "12.35 V"},
        {1e-3, "s", "1 ms"},      {0.1, "s", "100 ms"},    {1e100, "V", "1e+91 GV"},
        {-1.7e308, "V", "-1.7e+299 GV"},
    };
    for (const Case& test : cases)
        EXPECT_EQ(FormatSi(test.value, test.unit), test.text) << test.value;
    // The labels of one axis share its prefix and its decimals.
    EXPECT_EQ(FormatSiFixed(2.5e-4, -3, 2, "s"), "0.25 ms");
    EXPECT_EQ(FormatSiFixed(-1e-20, -3, 1, "s"), "0 ms");
    EXPECT_EQ(SiExponentOf(4e-4), -6);
    EXPECT_EQ(SiExponentOf(0), 0);
}

TEST(PlotDescription, TabsScalesAndSweeps) {
    SRawFile file;
    file.plots.push_back(Plot("Transient Analysis", {Vector("time", "time", {0, 1, 2})}));
    SRawPlot ac = Plot("AC Analysis", {Vector("frequency", "frequency", {1e3, 1e4, 1e5})});
    ac.vectors[0].grid = 3;
    file.plots.push_back(ac);
    // Without the simulator's mark, equal ratios still make a decade sweep; equal steps do not.
    file.plots.push_back(Plot("AC Analysis", {Vector("frequency", "frequency", {1, 10, 100, 1e3})}));
    file.plots.push_back(Plot("AC Analysis", {Vector("frequency", "frequency", {1, 2, 3, 4})}));
    file.plots.push_back(
        Plot("DC transfer characteristic", {Vector("v(v-sweep)", "voltage", {0, 1, 0, 1})}));
    file.plots.push_back(Plot("Transient Analysis", {Vector("time", "time", {0, 1, 2})}));
    const std::vector<SPlotDescription> plots = DescribePlots(file);
    ASSERT_EQ(plots.size(), 6u);
    EXPECT_EQ(plots[0].tabName, "tran1 · Transient Analysis");
    EXPECT_EQ(plots[5].typeName, "tran2");
    EXPECT_EQ(plots[3].typeName, "ac3");
    EXPECT_EQ(plots[1].kind, AnalysisKind::Ac);
    EXPECT_TRUE(plots[1].logarithmicScale);
    EXPECT_TRUE(plots[2].logarithmicScale);
    EXPECT_FALSE(plots[3].logarithmicScale);
    EXPECT_FALSE(plots[0].logarithmicScale);
    EXPECT_TRUE(plots[4].sweepInOrder);
    EXPECT_FALSE(plots[0].sweepInOrder);
    EXPECT_EQ(UnitOfType("voltage"), "V");
    EXPECT_EQ(UnitOfType("notype"), "");

    // tran1 and tran2 hold the same vectors: one family; the AC plots differ in nothing but
    // their values too, so they are one as well.
    const auto families = PlotFamilies(file, plots);
    ASSERT_EQ(families.size(), 2u);
    EXPECT_EQ(families[0], (std::vector<std::size_t>{0, 5}));
    EXPECT_EQ(families[1], (std::vector<std::size_t>{1, 2, 3}));
}

TEST(PlotDescription, VectorsShownFirst) {
    std::vector<SRawVector> vectors{Vector("time", "time")};
    for (const char* name : {"v(in)", "v(out)", "i(v1)", "v(a)", "v(b)", "v(c)", "v(d)", "v(e)",
                             "v(f)", "v(g)"})
        vectors.push_back(Vector(name, name[0] == 'v' ? "voltage" : "current"));
    const SRawPlot plot = Plot("Transient Analysis", vectors);
    struct Case {
        std::vector<std::string> named;
        std::vector<std::size_t> shown;
    };
    const Case cases[] = {
        {{"V(OUT)", "i(v1)"}, {2, 3}},
        {{"out", "in", "out"}, {2, 1}},
        {{"nowhere"}, {1, 2, 4, 5, 6, 7, 8, 9}},  // the node voltages, at most eight
        {{}, {1, 2, 4, 5, 6, 7, 8, 9}},
    };
    for (const Case& test : cases)
        EXPECT_EQ(InitiallyShownVectors(plot, test.named), test.shown);
    const SRawPlot noise = Plot("Noise Spectral Density Curves",
                                {Vector("frequency", "frequency"),
                                 Vector("onoise_spectrum", "voltage-density")});
    EXPECT_EQ(InitiallyShownVectors(noise, {}), (std::vector<std::size_t>{1}));
}

TEST(NetlistPlotRequests, PlotLinesAndControlPlots) {
    const std::vector<std::string> netlist = {
        "title .plot tran v(title)",
        ".tran 1n 1u",
        ".PLOT TRAN V(Out) (0,5) vdb(in)",
        "+ i(vin)",
        ".print ac vm(out) vp(out) v(a,b)",
        "* .plot dc v(commented)",
        ".control",
        "plot v(early)",
        "ac dec 10 1 1meg",
        "plot db(v(out)) ph(v(out)) xlimit 1 1k",
        "tran 1n 1u",
        "plot out in+1 vs time title 'not a vector'",
        "plot tran1.v(x) tran1.i(v2) v(x1.out) x2.n5",
        ".endc",
        "*# plot vdb(deck)",
        "*#setplot ac1",
        "*# plot v(deckac)",
    };
    auto requests = NetlistPlotRequests(netlist);
    using Names = std::vector<std::string>;
    EXPECT_EQ(requests[AnalysisKind::Transient],
              (Names{"v(out)", "v(in)", "i(vin)", "out", "in", "time", "v(x)", "i(v2)",
                     "v(x1.out)", "x2.n5"}));
    EXPECT_EQ(requests[AnalysisKind::Ac], (Names{"v(out)", "v(deckac)"}));
    EXPECT_EQ(requests[AnalysisKind::Other], (Names{"v(early)", "v(deck)"}));
    EXPECT_TRUE(requests[AnalysisKind::Dc].empty());
}

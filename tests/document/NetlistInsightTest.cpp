// The analysis a netlist document keeps: read again once typing pauses, never replaced by the
// result for a text that has changed since, made at once when asked for, and never of the
// simulator's output.

#include <gtest/gtest.h>

#include <QSemaphore>
#include <QTemporaryDir>
#include <QThreadPool>

#include <memory>
#include <string>
#include <vector>

#include "DocumentTyping.h"
#include "EventLoop.h"
#include "NetlistInsight.h"
#include "SampleDoc.h"
#include "ScriptedModalHost.h"
#include "TestFiles.h"

namespace {

using kivra_test::Settle;
using kivra_test::Type;
using kivra_test::WaitFor;

// Whether the outline names the entry.
bool Lists(const std::shared_ptr<const NetlistAnalysis>& analysis, const std::string& name) {
    if (analysis == nullptr)
        return false;
    for (const OutlineItem& item : analysis->outline) {
        if (item.label.rfind(name, 0) == 0)
            return true;
    }
    return false;
}

// Keeps every thread of the shared pool busy until opened, so that an analysis started meanwhile
// waits in the pool's queue.
class PoolGate {
public:
    PoolGate() : threads(QThreadPool::globalInstance()->maxThreadCount()) {
        for (int n = 0; n < threads; ++n)
            QThreadPool::globalInstance()->start([this] { gate.acquire(); });
    }
    ~PoolGate() { Open(); }
    void Open() {
        gate.release(threads - released);
        released = threads;
        QThreadPool::globalInstance()->waitForDone();
    }

private:
    QSemaphore gate;
    int threads;
    int released = 0;
};

class NetlistInsightTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        kept = CNetlistInsight::delayMilliseconds;
    }
    void TearDown() override { CNetlistInsight::delayMilliseconds = kept; }

    // A document of the netlist, and its analysis once the first one is in.
    CNetlistInsight& Open(CSampleDoc& document, const char* name = "amp.cir") {
        const QString path = folder.filePath(QString::fromLatin1(name));
        kivra_test::WriteBytes(path, "amp\r\n.subckt amp in out\r\nR1 in out 1k\r\n.ends\r\n.end\r\n");
        EXPECT_TRUE(document.OnOpenDocument(path));
        document.SetPathName(path, false);
        return *CNetlistInsight::Of(document);
    }

    kivra_test::ScriptedModalHost host;
    QTemporaryDir folder;
    int kept = 0;
};

TEST_F(NetlistInsightTest, ReadsTheTextAgainOnceTypingPauses) {
    CSampleDoc document;
    CNetlistInsight& insight = Open(document);
    ASSERT_TRUE(WaitFor([&] { return Lists(insight.Analysis(), "amp"); }));
    int changes = 0;
    QObject::connect(&insight, &CNetlistInsight::analysisChanged, [&] { ++changes; });

    Type(document, ".model dmod d\r\n", 1);
    Settle();
    EXPECT_EQ(changes, 0) << "a keystroke only restarts the pause";
    EXPECT_FALSE(Lists(insight.Analysis(), "dmod"));
    ASSERT_TRUE(WaitFor([&] { return Lists(insight.Analysis(), "dmod"); }));
    EXPECT_EQ(changes, 1);
}

TEST_F(NetlistInsightTest, DropsTheResultForATextChangedSince) {
    CNetlistInsight::delayMilliseconds = 0;
    CSampleDoc document;
    CNetlistInsight& insight = Open(document);
    ASSERT_TRUE(WaitFor([&] { return insight.Analysis() != nullptr; }));
    std::vector<std::shared_ptr<const NetlistAnalysis>> taken;
    QObject::connect(&insight, &CNetlistInsight::analysisChanged,
                     [&] { taken.push_back(insight.Analysis()); });
    {
        PoolGate gate;
        Type(document, ".model first d\r\n", 1);
        Settle();  // the copy of this text waits in the pool
        Type(document, ".model second d\r\n", 1);
        gate.Open();
        Settle();
    }
    ASSERT_TRUE(WaitFor([&] { return Lists(insight.Analysis(), "second"); }));
    for (const auto& analysis : taken)
        EXPECT_TRUE(Lists(analysis, "second")) << "an analysis of the older text was taken";
}

TEST_F(NetlistInsightTest, CurrentReadsTheTextAsItIsNow) {
    CSampleDoc document;
    CNetlistInsight& insight = Open(document);
    Type(document, ".model dmod d\r\n", 1);
    std::shared_ptr<const NetlistAnalysis> now = insight.Current();
    EXPECT_TRUE(Lists(now, "dmod"));
    EXPECT_EQ(insight.Analysis(), now);
    EXPECT_EQ(insight.Current(), now) << "an unchanged text is not read again";
}

TEST_F(NetlistInsightTest, PlacesNameTheFileTheDocumentIsSavedAs) {
    CNetlistInsight::delayMilliseconds = 0;
    CSampleDoc document;
    ASSERT_TRUE(document.OnNewDocument());
    Type(document, "t\r\nX1 1 2 nosuch\r\n.end\r\n");
    CNetlistInsight& insight = *CNetlistInsight::Of(document);
    auto placesNameTheDocument = [&] {
        std::shared_ptr<const NetlistAnalysis> analysis = insight.Analysis();
        insight.FollowPath();
        return analysis != nullptr && !analysis->findings.empty() &&
               analysis->findings.front().place.file == insight.AnalysedPath();
    };
    ASSERT_TRUE(WaitFor(placesNameTheDocument)) << "an untitled netlist has a stand-in name";
    document.SetPathName(folder.filePath(QStringLiteral("saved.cir")), false);
    EXPECT_TRUE(WaitFor(placesNameTheDocument));
    EXPECT_TRUE(QString::fromStdString(insight.AnalysedPath()).endsWith(QStringLiteral("/saved.cir")));
}

struct AnalysedCase {
    const char* name;
    bool analysed;
};

class AnalysedDocumentTest : public NetlistInsightTest,
                             public ::testing::WithParamInterface<AnalysedCase> {};

TEST_P(AnalysedDocumentTest, OnlyNetlistsAndTheirIncludesAreRead) {
    CSampleDoc document;
    CNetlistInsight& insight = Open(document, GetParam().name);
    EXPECT_EQ(insight.Analysed(), GetParam().analysed);
    EXPECT_EQ(insight.Current() != nullptr, GetParam().analysed);
}

INSTANTIATE_TEST_SUITE_P(Files, AnalysedDocumentTest,
                         ::testing::Values(AnalysedCase{"amp.cir", true},
                                           AnalysedCase{"cells.lib", true},
                                           AnalysedCase{"kivra.log", false},
                                           AnalysedCase{"kivra.raw", false},
                                           AnalysedCase{"OLD.LOG", false}));

}  // namespace

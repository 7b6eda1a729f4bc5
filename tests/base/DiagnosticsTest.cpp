#include "base/Diagnostics.h"
#include "base/ScopedDiagnosticSink.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

TEST(Diagnostics, TextsGoToTheInstalledSinkTheCallersOwnOrNowhere) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    ReportDiagnostic("dropped: no sink is installed");
    std::vector<std::string> outer, inner, callers;
    {
        const ScopedDiagnosticSink first([&](const std::string& text) { outer.push_back(text); });
        ReportDiagnostic("one");
        {
            const ScopedDiagnosticSink second(
                [&](const std::string& text) { inner.push_back(text); });
            ReportDiagnostic("two");
        }
        ReportDiagnostic("three"); // the first sink is back
        // A caller that collects its own warnings gets them instead of the process.
        ReportDiagnostic([&](const std::string& text) { callers.push_back(text); }, "four");
        ReportDiagnostic(DiagnosticSink(), "five");
    }
    ReportDiagnostic("dropped again");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(outer, (std::vector<std::string>{"one", "three", "five"}));
    EXPECT_EQ(inner, (std::vector<std::string>{"two"}));
    EXPECT_EQ(callers, (std::vector<std::string>{"four"}));

    // A sink that reports itself would wait on itself; its own text is dropped instead.
    std::vector<std::string> texts;
    const ScopedDiagnosticSink echo([&](const std::string& text) {
        texts.push_back(text);
        ReportDiagnostic("echo of " + text);
    });
    ReportDiagnostic("six");
    EXPECT_EQ(texts, (std::vector<std::string>{"six"}));
}

// The readers and the normals report from every core: the sink is called one text at a time, so
// a sink that writes a line in pieces (as the command line's does) never has them interleave, and
// one that is replaced is out of use once the replacement returns.
TEST(Diagnostics, ReportsFromManyThreadsArriveWholeAndStopAtAReplacement) {
    constexpr int kThreads = 8;
    constexpr int kReports = 2000;
    std::ostringstream stream;
    std::vector<std::string> recorded, after;
    std::atomic<bool> replaced{false};
    std::atomic<int> lateCalls{0};
    {
        const ScopedDiagnosticSink first([&](const std::string& text) {
            for (const char c : "ruvo: warning: " + text + '\n') {
                stream.put(c); // a line in many pieces
            }
            recorded.push_back(text); // no lock of its own
            lateCalls += replaced ? 1 : 0;
        });
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([t] {
                for (int i = 0; i < kReports; ++i) {
                    ReportDiagnostic("thread " + std::to_string(t) + " text " + std::to_string(i));
                }
            });
        }
        // Replaced while the threads still report (some may be done already).
        std::this_thread::yield();
        const ScopedDiagnosticSink later([&](const std::string& text) { after.push_back(text); });
        replaced = true;
        for (std::thread& thread : threads) {
            thread.join();
        }
    }
    EXPECT_EQ(lateCalls, 0);
    EXPECT_EQ(recorded.size() + after.size(), std::size_t{kThreads * kReports});
    // Every line whole, and each thread's texts in the order it reported them.
    std::vector<int> next(kThreads, 0);
    std::istringstream lines(stream.str());
    std::size_t count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
        int t = -1, i = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "ruvo: warning: thread %d text %d", &t, &i), 2) << line;
        ASSERT_TRUE(t >= 0 && t < kThreads) << line;
        EXPECT_EQ(i, next[static_cast<std::size_t>(t)]++) << line;
    }
    EXPECT_EQ(count, recorded.size());
}

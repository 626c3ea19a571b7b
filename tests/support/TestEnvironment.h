#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace glidra::test {

// Gives every test its own empty home, config, state and data folders, so no
// test reads or writes the user's settings or another test's files.
class TemporaryHomeListener final : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override;
    void OnTestEnd(const ::testing::TestInfo&) override;

private:
    std::unique_ptr<QTemporaryDir> home_;
};

// Turns the event loop once a test's objects are gone: an owner cancels its
// suspended chains as it goes, and a cancelled wait resumes from the loop,
// never inside cancel(), so the chains end here rather than stay suspended.
class QueuedWorkListener final : public ::testing::EmptyTestEventListener {
public:
    void OnTestEnd(const ::testing::TestInfo&) override;
};

// The temporary home of the running test.
QString temporaryHome();

// Runs the tests inside a Qt application object that `argc`/`argv` built.
int runAllTests(int argc, char** argv);

}  // namespace glidra::test

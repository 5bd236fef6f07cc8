// What every end-to-end test stands on: private folders, then one QApplication.
#include <gtest/gtest.h>

#include <QApplication>

#include "private_folders.h"
#include "qt/main_window.h"

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = new QApplication(argc_, argv_);
        zqt::prepareApplication();
    }
    void TearDown() override { delete app_; }

private:
    int argc_ = 1;
    char name_[10] = "e2e_tests";
    char* argv_[2] = {name_, nullptr};
    QApplication* app_ = nullptr;
};

// Environments set up in the order they are added.
[[maybe_unused]] const auto* const kFolders =
    ::testing::AddGlobalTestEnvironment(new testing_support::PrivateFolders);
[[maybe_unused]] const auto* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace

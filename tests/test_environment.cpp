#include "private_folders.h"

namespace {
[[maybe_unused]] const auto* const kFolders =
    ::testing::AddGlobalTestEnvironment(new testing_support::PrivateFolders);
} // namespace

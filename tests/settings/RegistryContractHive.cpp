// Runs the registry contract against the hive, in a folder of its own.

#define DOCTEST_CONFIG_IMPLEMENT
#include "RegistryContract.h"
#include "settings/HiveRegistryApi.h"

#include <doctest/doctest.h>

#include <cstdlib>
#include <filesystem>

namespace {
std::string hiveFolder;
}

std::unique_ptr<anchorly::registry::RegistryApi> anchorly::registry::contract::makeApi()
{
    return std::make_unique<HiveRegistryApi>(hiveFolder);
}

std::string anchorly::registry::contract::runKeyPath()
{
    return "HKEY_CURRENT_USER\\Software\\AnchorlyContract"; // the hive is new for every run
}

int main(int argc, char** argv)
{
    std::string base = (std::filesystem::temp_directory_path() / "anchorly-contract-XXXXXX").string();
    if (!::mkdtemp(base.data()))
        return 2;
    hiveFolder = base + "/config/anchorly/registry"; // not there yet: the first write creates it
    doctest::Context context(argc, argv);
    const int result = context.run();
    std::filesystem::remove_all(base);
    return result;
}

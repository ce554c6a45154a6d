// Runs the registry contract against the Windows registry (under Wine in the
// tests), below a key of its own for each run.

#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "RegistryContract.h"
#include "settings/WinRegistryApi.h"

#include <doctest/doctest.h>

#include <chrono>

std::unique_ptr<anchorly::registry::RegistryApi> anchorly::registry::contract::makeApi()
{
    return std::make_unique<WinRegistryApi>();
}

std::string anchorly::registry::contract::runKeyPath()
{
    static const std::string path = "HKEY_CURRENT_USER\\Software\\AnchorlyContract-" +
                                    std::to_string(std::chrono::system_clock::now().time_since_epoch().count());
    return path;
}

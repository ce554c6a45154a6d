#pragma once

// The registry contract runs against each implementation of RegistryApi:
// the hive here, advapi32 under Windows. Each runner provides these two.

#include "settings/RegistryApi.h"

#include <memory>
#include <string>

namespace anchorly::registry::contract {

// A fresh instance on the store the run uses; two instances share it.
std::unique_ptr<RegistryApi> makeApi();

// A key path of this run under HKEY_CURRENT_USER\Software, not yet created.
std::string runKeyPath();

} // namespace anchorly::registry::contract

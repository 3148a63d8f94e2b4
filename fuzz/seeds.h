// Each fuzz target supplies well-formed inputs for the driver to start its mutations from.
#pragma once

#include <cstdint>
#include <vector>

std::vector<std::vector<uint8_t>> FuzzSeeds();

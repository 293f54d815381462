#pragma once

#include <functional>
#include <string>
#include <vector>

namespace contentgen {

// One writer per group of generated files. Each asset source file registers
// its writer with CONTENT_ASSET, so adding an asset never touches main.
struct AssetWriter {
    const char* name;
    std::function<void(const std::string& showDir)> write;
};

std::vector<AssetWriter>& assetWriters();

struct AssetRegistration {
    AssetRegistration(const char* name, std::function<void(const std::string&)> write)
    {
        assetWriters().push_back({name, std::move(write)});
    }
};

} // namespace contentgen

#define CONTENT_ASSET(name)                                                        \
    static void contentAsset_##name(const std::string& showDir);                   \
    static const contentgen::AssetRegistration contentAssetReg_##name(#name,       \
                                                                      contentAsset_##name); \
    static void contentAsset_##name(const std::string& showDir)

#pragma once
// What every platform's file system does the same way, through the standard library.

#include <fstream>
#include <memory>

#include "services/services.h"

namespace ladoslov {

class StandardFiles : public FileSystem {
public:
    bool isDirectory(const std::filesystem::path& p) const override {
        std::error_code ec;
        return std::filesystem::is_directory(p, ec);
    }

    std::unique_ptr<std::istream> openForReading(const std::filesystem::path& p) const override {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(p, ec)) return nullptr;
        auto in = std::make_unique<std::ifstream>(p, std::ios::binary);
        if (!*in) return nullptr;
        return in;
    }
};

}  // namespace ladoslov

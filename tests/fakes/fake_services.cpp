#include "fakes/fake_services.h"

#include <cctype>

namespace ladoslov::testing {

namespace {
bool matches(std::string_view pattern, std::string_view name) {
    // Only the "prefix.*" patterns the window uses.
    const auto star = pattern.find('*');
    std::string_view prefix = pattern.substr(0, star);
    if (name.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return star != std::string_view::npos || name.size() == prefix.size();
}
}  // namespace

std::string FakeFileSystem::findFirstFile(const std::filesystem::path& dir, std::string_view pattern) const {
    auto it = listings.find(dir.generic_string());
    if (it == listings.end()) return {};
    for (const std::string& name : it->second)
        if (matches(pattern, name)) return name;
    return {};
}

}  // namespace ladoslov::testing

#include "fakes/fake_services.h"

#include <gtest/gtest.h>

#include <cctype>

#include "services/skip_on_failure.h"

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

ExpectSkippedFailures* ExpectSkippedFailures::current_ = nullptr;
const bool ExpectSkippedFailures::installed_ = (setSkippedFailureListener(&ExpectSkippedFailures::countOrFail), true);

ExpectSkippedFailures::ExpectSkippedFailures() : outer_(current_) { current_ = this; }
ExpectSkippedFailures::~ExpectSkippedFailures() { current_ = outer_; }

void ExpectSkippedFailures::countOrFail(const FailurePlace& where, const char* what) {
    if (current_) {
        ++current_->count_;
        return;
    }
    ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line()))
        << "a step of " << where.function_name() << " failed and was skipped: " << what;
}

std::string FakeFileSystem::findFirstFile(const std::filesystem::path& dir, std::string_view pattern) const {
    auto it = listings.find(dir.generic_string());
    if (it == listings.end()) return {};
    for (const std::string& name : it->second)
        if (matches(pattern, name)) return name;
    return {};
}

}  // namespace ladoslov::testing

#pragma once
// Web origins as browsers send them in the Origin header: scheme and host
// in lower case, the scheme's default port left out ("https://his.example",
// "http://127.0.0.1:18086"). The allowed origins of the settings and the
// origin of each request are compared in this one form.
#include <optional>
#include <string>

namespace service {

// origin in the browsers' form, or nothing when it is not an http or https
// origin; why (when given) then says what keeps it from ever matching.
std::optional<std::string> NormalizeOrigin(const std::string& origin, std::string* why = nullptr);

}  // namespace service

#include "cli/JsonText.h"

#include <charconv>
#include <cmath>

namespace corvane {
namespace {

using Json = nlohmann::ordered_json;

void Write(std::string& out, const Json& j, int indent, int depth) {
    const std::string inner(static_cast<std::size_t>(indent * (depth + 1)), ' ');
    const std::string outer(static_cast<std::size_t>(indent * depth), ' ');
    switch (j.type()) {
    case Json::value_t::object: {
        if (j.empty()) {
            out += "{}";
            return;
        }
        out += "{\n";
        bool first = true;
        for (auto it = j.begin(); it != j.end(); ++it) {
            out += first ? "" : ",\n";
            first = false;
            out += inner;
            out += Json(it.key()).dump(-1, ' ', false, Json::error_handler_t::replace);
            out += ": ";
            Write(out, it.value(), indent, depth + 1);
        }
        out += "\n" + outer + "}";
        return;
    }
    case Json::value_t::array: {
        if (j.empty()) {
            out += "[]";
            return;
        }
        out += "[\n";
        for (std::size_t i = 0; i < j.size(); ++i) {
            out += i ? ",\n" : "";
            out += inner;
            Write(out, j[i], indent, depth + 1);
        }
        out += "\n" + outer + "]";
        return;
    }
    case Json::value_t::number_float:
        out += ShortestNumber(j.get<double>());
        return;
    default:
        out += j.dump(-1, ' ', false, Json::error_handler_t::replace);
        return;
    }
}

}  // namespace

std::string ShortestNumber(double value) {
    if (!std::isfinite(value)) return "null";
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

std::string DumpShortest(const nlohmann::ordered_json& json, int indent) {
    std::string out;
    Write(out, json, indent, 0);
    return out;
}

}  // namespace corvane
